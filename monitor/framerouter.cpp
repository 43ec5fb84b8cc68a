#include "monitor/framerouter.h"

FrameRouter::Action FrameRouter::route(const PedalEvent &event, const DisplayRow &row,
                                       int frameSize, const Settings &s, int &ignoreCount)
{
    Action action;
    if (s.filterTicked && event.messageNumber != s.messageNumber) {
        action.dropped = true;
        return action;
    }
    const bool ownMessage = event.messageNumber == s.messageNumber;
    action.appendRow = true;

    if (event.isRealTime()) {
        action.rowFirst = true;
        if (frameSize >= 4 && ownMessage)
            action.picture = SwitchPicture; // value 0
        return action;
    }

    const auto picture = [&](Picture p, int value) {
        action.picture = p;
        action.pictureValue = value;
    };
    const bool triggerOn = s.triggerLevel > 0;
    switch (s.pedalType) {
    case 0:
        if (triggerOn && s.expressionEvent == 1) {
            if (ignoreCount > 0) {
                --ignoreCount;
            } else {
                if (ownMessage)
                    picture(ExpressionPicture, row.value);
                if (row.value == s.triggerLevel) {
                    ignoreCount = triggerHoldCount;
                    action.appendRow = false;
                }
            }
        } else if (!(triggerOn && row.isNote()) && ownMessage) {
            picture(ExpressionPicture, row.value);
        }
        break;
    case 1:
        picture(SwitchPicture, s.switchEvent == 1 ? event.data1 : row.value);
        break;
    case 2:
        if (!(s.hatEvent == 0 && row.isNote()) && ownMessage)
            picture(HiHatPicture, row.value);
        break;
    default:
        break;
    }
    return action;
}
