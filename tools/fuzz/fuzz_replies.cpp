// libFuzzer target over the controller's replies. The input is a series of
// frames: a type byte t (frame type t % 7 - 1, so -1..5 with the unknown
// types around the five known ones), a length byte n and n % 32 frame bytes.
//
// Every frame goes through the reply decoding and the reply plan, whose
// writes are checked against the editor's rules. Built as fuzz_replies
// (FUZZ_REPLIES_WINDOW), every frame also reaches the real main window's
// pedalMidiDataSlot on an offscreen application; the boxes it posts are
// dropped after each input and range warnings are closed as they open.
#include "pedal/pedalmessage.h"
#include "fuzzcheck.h"
#include "pedal/replyplan.h"

#include <QByteArray>
#include <QList>

#include <cstdio>
#include <cstdlib>

#ifdef FUZZ_REPLIES_WINDOW
#include "fuzzwindow.h"
#include "ui_widget.h"

#endif

namespace {

using FuzzCheck::check;
using FuzzCheck::fail;

struct Frame {
    int type;
    QByteArray bytes;
};

QList<Frame> framesOf(const uint8_t *data, size_t size)
{
    QList<Frame> frames;
    size_t pos = 0;
    while (pos + 2 <= size) {
        const int type = data[pos] % 7 - 1;
        const size_t length = qMin<size_t>(data[pos + 1] % 32, size - pos - 2);
        frames.append({type, QByteArray(reinterpret_cast<const char *>(data + pos + 2), int(length))});
        pos += 2 + length;
    }
    return frames;
}

bool startsWith(const char *name, const char *prefix)
{
    return QByteArray(name).startsWith(prefix);
}

/// The largest value a write may carry: 14-bit ends on Pitch Bend
/// (built from 8-bit bytes, so up to 255 * 128 + 255), a 16-bit trigger level.
int limitOf(ReplyPlan::Field f)
{
    using ReplyPlan::Field;
    if (ReplyPlan::isCheckBox(f))
        return 1;
    if (f == Field::ExpressionPitchMin || f == Field::ExpressionPitchMax)
        return 255 * 128 + 255;
    if (f == Field::ExpressionTriggerLevel)
        return 255 + 256 * 255;
    return 255;
}

void checkPlan(const QByteArray &frame)
{
    using ReplyPlan::Field;
    PedalMessage m;
    const bool decoded = ReplyPlan::decodeReply(frame, &m);
    check(decoded == (frame.size() >= 23), "decoded by size", frame);
    if (!decoded)
        return;
    const QByteArray fields = m.toFields();
    if (frame.size() >= 24)
        check(fields == frame.mid(6, 17), "fields are bytes 6..22", frame);
    else
        check(fields.left(16) == frame.mid(6, 16) && fields.at(16) == 0,
              "23-byte frame: no high level byte", frame);

    const bool known = m.pedalType >= 1 && m.pedalType <= 3;
    const QList<ReplyPlan::Write> head = ReplyPlan::headWrites(m);
    check(head.size() >= 3 && head.at(0) == ReplyPlan::Write{Field::PedalNumber, m.pedal}
              && head.at(1) == ReplyPlan::Write{Field::MessageNumber, m.message},
          "head starts with pedal and message", frame);
    int i = 2;
    if (known) {
        check(head.at(i) == ReplyPlan::Write{Field::PedalPicture, m.pedalType}, "picture", frame);
        ++i;
    }
    check(i < head.size() && head.at(i) == ReplyPlan::Write{Field::PedalType, m.pedalType - 1},
          "pedal type", frame);
    ++i;
    const bool fieldsFollow = ReplyPlan::writesEventFields(m);
    check(fieldsFollow == (known && m.event <= 8), "fields follow a named event", frame);
    const char *family[] = {"", "expression_", "switch_", "hat_"};
    const char *evert[] = {"", "ex_Evert", "sw_Evert", "ht_Evert"};
    if (fieldsFollow) {
        check(i + 1 == head.size() && ReplyPlan::isEventSelection(head.at(i).field)
                  && head.at(i).value == m.event
                  && startsWith(ReplyPlan::fieldName(head.at(i).field), family[m.pedalType]),
              "event selection last, on the reply's pedal type", frame);
    } else {
        check(i == head.size(), "no event selection", frame);
    }

    for (int page = -1; page <= 9; ++page) {
        const QList<ReplyPlan::Write> writes = ReplyPlan::pageWrites(m, page);
        if (!fieldsFollow) {
            check(writes.isEmpty(), "no fields without a named event", frame);
            continue;
        }
        int min = -1, max = -1;
        for (const ReplyPlan::Write &w : writes) {
            const char *name = ReplyPlan::fieldName(w.field);
            check(startsWith(name, family[m.pedalType]) || startsWith(name, evert[m.pedalType]),
                  "write on the reply's pedal type", frame);
            check(!ReplyPlan::isEventSelection(w.field), "no event selection among the fields",
                  frame);
            check(w.value >= 0 && w.value <= limitOf(w.field), "value in range", frame);
            const QByteArray n(name);
            if (n.endsWith("_valmin") || n.endsWith("_val1"))
                min = w.value;
            if (n.endsWith("_valmax") || n.endsWith("_val2"))
                max = w.value;
        }
        check(min < 0 || max < 0 || min <= max, "the range ends upright", frame);
    }
}

void checkFrame(const Frame &f)
{
    if (f.type == 2)
        checkPlan(f.bytes);
    if (f.type == 1 && f.bytes.size() > 7) {
        const int status = quint8(f.bytes.at(7));
        check(ReplyPlan::setStatusText(status).isEmpty() == (status > 3), "status text", f.bytes);
    }
}

#ifdef FUZZ_REPLIES_WINDOW

Widget *window = nullptr;

void checkWindow(const Frame &f)
{
    Ui::Widget *ui = window->form();
    const int type = ui->pendal_type_comboBox0->currentIndex();
    check(ui->pendal_type_comboBox1->currentIndex() == type
              && ui->pendal_type_comboBox2->currentIndex() == type,
          "pedal type selectors agree", f.bytes);
    if (f.type == 0 && f.bytes.size() > 5 && quint8(f.bytes.at(5)) < 10) {
        const int count = quint8(f.bytes.at(5));
        check(ui->Pedal_Number->count() == count
                  && ui->Pedal_Number->currentIndex() == (count ? 0 : -1),
              "pedal list", f.bytes);
    }
    PedalMessage m;
    if (f.type == 2 && ReplyPlan::decodeReply(f.bytes, &m)) {
        const int pedals = ui->Pedal_Number->count();
        check(ui->Pedal_Number->currentIndex() == (m.pedal < pedals ? m.pedal : -1),
              "pedal of the reply", f.bytes);
        check(ui->Message_Number->currentIndex() == (m.message < 16 ? m.message : -1),
              "message of the reply", f.bytes);
        if (m.pedalType >= 1 && m.pedalType <= 3)
            check(type == m.pedalType - 1 && ui->pedal_type_stack->currentIndex() == type,
                  "pedal type of the reply", f.bytes);
        else
            check(type == -1, "no pedal type", f.bytes);
    }
}

#endif

} // namespace

#ifdef FUZZ_REPLIES_WINDOW
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzWindow::startApplication("fuzz_replies");
    window = new Widget;
    return 0;
}
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<Frame> frames = framesOf(data, size);
    for (const Frame &f : frames) {
        checkFrame(f);
#ifdef FUZZ_REPLIES_WINDOW
        window->pedalMidiDataSlot({f.type, f.bytes});
        checkWindow(f);
#endif
    }
#ifdef FUZZ_REPLIES_WINDOW
    // The verdict boxes wait in the event queue; drop them unopened.
    QCoreApplication::removePostedEvents(window, QEvent::MetaCall);
#endif
    return 0;
}
