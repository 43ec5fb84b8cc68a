// libFuzzer target over controller backup files as the Restore menu entry
// reads them. A file the reader accepts must hold only definitions in range,
// no slot twice, and write back to the same file: reading that again gives
// the same backup and the same text. The input is also read as the name of
// a file in the automatic backups folder: a name taken apart is made again
// from its parts.
#include "backup/autobackups.h"
#include "backup/controllerbackup.h"
#include "fuzzcheck.h"

#include <QSet>

#include <cstdint>

using FuzzCheck::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    const QString name = QString::fromUtf8(input);
    const AutoBackups::Name parts = AutoBackups::parse(name);
    if (parts.ok)
        check(AutoBackups::fileName(parts.model, parts.version, parts.when) == name
                  && AutoBackups::toPrune({name}, parts.model, 0) == QStringList{name},
              "a name taken apart is made again and pruned as its model's", input);
    const ControllerBackup::Reading read = ControllerBackup::fromJson(input);
    check(read.ok == read.problem.isEmpty(), "a refusal names its problem", input);
    if (!read.ok)
        return 0;
    const ControllerBackup &b = read.backup;
    QSet<int> places;
    for (const ControllerBackup::Entry &e : b.entries) {
        check(e.pedal >= 0 && e.pedal < b.pedalCount && e.slot >= 0
                  && e.slot < ControllerBackup::SlotCount,
              "entries lie within the controller", input);
        check(!places.contains(e.pedal * 16 + e.slot), "no slot twice", input);
        places.insert(e.pedal * 16 + e.slot);
        if (!e.empty)
            check(ControllerBackup::definitionProblem(e.message).isEmpty()
                      && e.message.pedal == e.pedal && e.message.message == e.slot,
                  "accepted definitions are in range and in place", input);
    }
    const QByteArray written = b.toJson();
    const ControllerBackup::Reading again = ControllerBackup::fromJson(written);
    check(again.ok && again.backup == b, "an accepted file round-trips", written);
    check(again.backup.toJson() == written, "writing is stable", written);
    return 0;
}
