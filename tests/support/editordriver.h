#pragma once

#include "pedal/editorsnapshot.h"

class Widget;

/// Puts an editor state into a window through its real selectors, the way a
/// user would: the event of each pedal type first (which resets the other
/// event pages), then the selected page's fields. Pedal_Number must already
/// hold the wanted pedal. On the expression and hi-hat pedals only the
/// selected event page is set; on the switch pedal all three ranged pages are.
void driveEditor(Widget &window, const EditorSnapshot &state);
