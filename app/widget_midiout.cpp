// Setting > MIDI Output: where the live events go besides the monitor.
#include "app/widget.h"

#include "midiout/midioutput.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>

namespace {

/// The choice of output; the note naming and CC name keys stay as they are.
const QString kMidiOutputKey = QStringLiteral("midiOutputPort");

} // namespace

void Widget::buildMidiOutputMenu(QMenu *setting)
{
    midiOutput = new MidiOutput(this);
    midiOutputMenu = setting->addMenu(tr("MIDI Output"));
    connect(midiOutputMenu, &QMenu::aboutToShow, this, [this] { refreshMidiOutputMenu(true); });
    // The failure can come from inside the link's read: the box waits for the event loop.
    connect(midiOutput, &MidiOutput::failed, this, [this](const QString &cause) {
        QMetaObject::invokeMethod(this, [this, cause] {
            replyBoxes.post([this, cause] {
                QMessageBox::warning(this, tr("MIDI Output"),
                                     tr("The MIDI output is off: %1").arg(cause));
            });
        }, Qt::QueuedConnection);
    });
    refreshMidiOutputMenu(false);

    const QSettings config(QStringLiteral("./config.ini"), QSettings::IniFormat);
    const MidiTarget chosen = MidiTarget::fromSetting(config.value(kMidiOutputKey).toString());
    if (chosen.kind != MidiTarget::Off)
        QTimer::singleShot(0, this, [this, chosen] { chooseMidiOutput(chosen.toSetting()); });
}

void Widget::refreshMidiOutputMenu(bool listPorts)
{
    midiOutputMenu->clear();
    auto *group = new QActionGroup(midiOutputMenu);
    group->setExclusive(true);
    const QString current = midiOutput->target().toSetting();
    const auto add = [&](const QString &text, const QString &choice) {
        QAction *action = midiOutputMenu->addAction(text);
        action->setCheckable(true);
        action->setChecked(choice == current);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, choice] { chooseMidiOutput(choice); });
    };
    add(tr("Off"), MidiTarget().toSetting());
    if (midiOutput->supportsVirtualPort())
        add(QStringLiteral("Virtual port 'Stompwright'"),
            MidiTarget{MidiTarget::Virtual, QString()}.toSetting());
    // Listing the ports starts the MIDI system: not before the menu is opened.
    if (listPorts) {
        for (const QString &port : midiOutput->availablePorts())
            add(port, MidiTarget{MidiTarget::Port, port}.toSetting());
    }
}

void Widget::chooseMidiOutput(const QString &setting)
{
    const MidiTarget target = MidiTarget::fromSetting(setting);
    midiOutput->select(target);
    QSettings config(configPath.isEmpty() ? QDir::current().absoluteFilePath(QStringLiteral("config.ini"))
                                          : configPath,
                     QSettings::IniFormat);
    config.setValue(kMidiOutputKey, midiOutput->target().toSetting());
    config.sync();
}
