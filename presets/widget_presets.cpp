// The main window's preset files: the editor's selector indexes saved to and
// loaded from INI files.
#include "app/widget.h"
#include "ui_widget.h"

#include "core/filedialogs.h"
#include "core/logging.h"
#include "presets/presetlayout.h"

#include <QComboBox>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

namespace {

bool presetWritten(QSettings &file)
{
    file.sync();
    return file.status() == QSettings::NoError && QFileInfo(file.fileName()).isFile();
}

/// Asks for the name to save a preset under; a cancelled dialog gets a warning.
QString askPresetName(Widget *window, const QString &filter)
{
    const QString name = FileDialogs::current().getSaveFileName(
        window, Widget::tr("Save configuration"), QString(), filter);
    if (name.isEmpty())
        QMessageBox::warning(window, QStringLiteral("Warning"), QStringLiteral("No file selected!"),
                             QMessageBox::Ok);
    return name;
}

} // namespace

void Widget::writePreset(const QString &fileName, int save)
{
    QSettings file(fileName, QSettings::IniFormat);
    for (const PresetLayout::Group &group : PresetLayout::groups()) {
        file.beginGroup(group.name);
        for (const QString &key : PresetLayout::keysWritten(group, PresetLayout::Save(save))) {
            if (const QComboBox *box = findChild<QComboBox *>(key))
                file.setValue(key, box->currentIndex());
        }
        file.endGroup();
    }
    if (!presetWritten(file)) {
        qCWarning(lcEditor).noquote() << "Preset not written:" << fileName << file.status();
        QMessageBox::warning(this, QStringLiteral("Warning"),
                             QStringLiteral("The configuration file could not be saved: %1")
                                 .arg(QFileInfo(fileName).absoluteFilePath()),
                             QMessageBox::Ok);
        return;
    }
    if (save == int(PresetLayout::Save::FileAs))
        QMessageBox::information(this, QStringLiteral("Success"),
                                 QStringLiteral("Configuration file saved successfully."));
}

void Widget::savePresetFileAs()
{
    presetFileName = askPresetName(this, tr("configuration files (*.ini)"));
    if (!presetFileName.isEmpty())
        writePreset(PresetLayout::withIniSuffix(presetFileName), int(PresetLayout::Save::FileAs));
}

void Widget::savePresetFile()
{
    if (presetFileName.isEmpty()) {
        savePresetFileAs();
        return;
    }
    presetFileName = askPresetName(this, tr("Configuration files (*.ini)"));
    if (!presetFileName.isEmpty())
        writePreset(PresetLayout::withIniSuffix(presetFileName), int(PresetLayout::Save::File));
}

void Widget::loadPresetFile()
{
    const QString fileName = FileDialogs::current().getOpenFileName(
        this, tr("Load configuration"), QString(), tr("configuration files (*.ini)"));
    if (fileName.isEmpty())
        return;

    QSettings file(fileName, QSettings::IniFormat);
    // A missing or unreadable value reads as 0; an index outside a list
    // leaves that selector without a current entry.
    const auto apply = [this, &file](const QString &key) {
        if (QComboBox *box = findChild<QComboBox *>(key))
            box->setCurrentIndex(file.value(key, 0).toInt());
    };
    for (const PresetLayout::Group &group : PresetLayout::groups()) {
        file.beginGroup(group.name);
        for (const PresetLayout::Step &step : group.steps) {
            if (!step.isPair()) {
                apply(step.key);
                continue;
            }
            const QComboBox *max = findChild<QComboBox *>(step.maxKey);
            const int storedMin = file.value(step.key, 0).toInt();
            if (max && PresetLayout::minimumFirst(storedMin, max->currentIndex())) {
                apply(step.key);
                apply(step.maxKey);
            } else {
                apply(step.maxKey);
                apply(step.key);
            }
        }
        file.endGroup();
    }
}
