// libFuzzer target over the files the program reads: preset files and
// config.ini. The first input byte picks which (even: a preset, odd:
// config.ini); the rest is the file's contents. Both go through the main
// window's real loading code on an offscreen application: Open File with a
// file dialog that names the fuzzed file, and loadConfig() in a working
// directory holding the fuzzed config.ini. Range warnings that a preset
// causes are closed as they open.
//
// After every input the editor must still be whole: every note and
// controller list holds its 128 entries and the event twins agree.
#include "core/filedialogs.h"
#include "fuzzcheck.h"
#include "fuzzwindow.h"
#include "ui_widget.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

/// Answers every open dialog with the fuzzed preset.
class FuzzedFile : public FileDialogs
{
public:
    QString path;
    QString getSaveFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return QString();
    }
    QString getOpenFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return path;
    }
};

Widget *window = nullptr;
FuzzedFile *dialogs = nullptr;
QTemporaryDir *workDir = nullptr;

using FuzzCheck::check;

void checkEditor()
{
    Ui::Widget *ui = window->form();
    for (QComboBox *box : {ui->switch_note_comboBox_nno, ui->expression_note_comboBox_ctl,
                           ui->expression_press_note, ui->expression_release_note,
                           ui->hat_press_note, ui->hat_release_note,
                           ui->expression_cc_comboBox_ctl, ui->switch_cc_comboBox_ctl,
                           ui->hat_cc_comboBox_ctl})
        check(box->count() == 128, "note and controller lists hold 128 entries");
    for (const QList<QComboBox *> &twins :
         {QList<QComboBox *>{ui->expression_comboBox0, ui->expression_comboBox1,
                             ui->expression_comboBox2, ui->expression_comboBox3},
          QList<QComboBox *>{ui->switch_comboBox0, ui->switch_comboBox1, ui->switch_comboBox2,
                             ui->switch_comboBox3, ui->switch_comboBox4, ui->switch_comboBox5,
                             ui->switch_comboBox6},
          QList<QComboBox *>{ui->hat_comboBox0, ui->hat_comboBox1}}) {
        for (QComboBox *box : twins)
            check(box->currentIndex() == twins.first()->currentIndex(), "event twins agree");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzWindow::startApplication("fuzz_presets");
    workDir = new QTemporaryDir;
    QDir::setCurrent(workDir->path());
    dialogs = new FuzzedFile;
    dialogs->path = workDir->filePath(QStringLiteral("preset.ini"));
    FileDialogs::setCurrent(dialogs);
    window = new Widget;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const bool config = data[0] & 1;
    QFile file(config ? workDir->filePath(QStringLiteral("config.ini")) : dialogs->path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char *>(data + 1), qint64(size - 1));
    file.close();
    if (config)
        window->loadConfig();
    else
        window->loadPresetFile();
    checkEditor();
    return 0;
}
