// libFuzzer target over the update texts and version numbers the download
// server sends. Input: one byte choosing the product, then the device's
// version text, a NUL, and the update text. The readers must keep to their
// rules whatever the server sends: the token is a prefix of the text made of
// the product, "_V", digits and dots; the description is what follows the
// label; the version order is a total order on the parsed lists. The same
// bytes go to the reader of the checksum file offered beside an image.
#include "fuzzcheck.h"
#include "update/appversion.h"
#include "upgrade/autoupgrade.h"
#include "upgrade/firmwareimage.h"
#include "upgrade/updatetext.h"

#include <QByteArray>
#include <QString>

namespace {

using FuzzCheck::check;

const char *const products[] = {"QRX-10", "QRX-20", "ZT-3", "ZT-1", "WQM-30", "Stompwright"};

int sign(int x)
{
    return (x > 0) - (x < 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray input(reinterpret_cast<const char *>(data) + 1, int(size - 1));
    const QString product = QString::fromLatin1(products[data[0] % 6]);
    const int nul = input.indexOf('\0');
    const QString current = QString::fromUtf8(nul < 0 ? input : input.left(nul));
    const QString text = QString::fromUtf8(nul < 0 ? QByteArray() : input.mid(nul + 1));

    const QString token = UpdateText::versionToken(text, product);
    if (!token.isEmpty()) {
        check(text.startsWith(token), "token is not the text's start", input);
        const QString prefix = product + QStringLiteral("_V");
        check(token.startsWith(prefix) && token.size() > prefix.size(), "token shape", input);
        for (QChar c : token.mid(prefix.size()))
            check(c == QLatin1Char('.') || (c >= QLatin1Char('0') && c <= QLatin1Char('9')),
                  "token holds more than digits and dots", input);
        const QString path = UpdateText::firmwarePath(product, token);
        check(path.endsWith(token + QStringLiteral(".bin")), "image path", input);
    }

    const QString description = UpdateText::description(text);
    if (!description.isEmpty()) {
        check(text.contains(QStringLiteral("Update content:")), "description without label", input);
        check(text.endsWith(description), "description does not run to the end", input);
    }

    const QList<int> a = UpdateText::parseVersionNumbers(current);
    const QList<int> b = UpdateText::parseVersionNumbers(token.isEmpty() ? text : token);
    const int v = current.indexOf(QLatin1Char('V'));
    check(v < 0 ? a.isEmpty() : a.size() == current.mid(v + 1).count(QLatin1Char('.')) + 1,
          "one number per dot-separated part", input);
    const int ab = UpdateText::compareVersionNumbers(a, b);
    check(ab == -UpdateText::compareVersionNumbers(b, a), "order is not antisymmetric", input);
    check(UpdateText::compareVersionNumbers(a, a) == 0, "order is not reflexive", input);
    QList<int> padded = a;
    padded.append(0);
    check(UpdateText::compareVersionNumbers(a, padded) == 0, "a trailing zero changes the order",
          input);
    check(sign(ab) == ab, "order beyond -1..1", input);

    (void)UpdateText::onlineModelFor(current);
    (void)AutoUpgrade::checkModelFor(current);
    (void)AutoUpgrade::isBootloaderName(text);
    (void)AutoUpgrade::newerMajorMinor(current, token);

    // The checksum file offered beside an image, and the model a file name names.
    const QByteArray raw = nul < 0 ? input : input.mid(nul + 1);
    const QByteArray checksum = FirmwareImage::checksumFrom(raw);
    if (!checksum.isEmpty()) {
        check(checksum.size() == 64, "checksum length", input);
        for (char c : checksum)
            check((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'), "checksum digits", input);
        check(raw.toLower().contains(checksum), "checksum not taken from the file", input);
    }
    const QString named = FirmwareImage::modelNamedIn(text);
    check(named.isEmpty() || FirmwareImage::modelNamedIn(named) == named, "model word", input);
    check(FirmwareImage::otherModelNamed(text, named).isEmpty(), "own model taken for another",
          input);

    // The application's own release numbers.
    const QString release = AppVersion::releaseNumber(token.isEmpty() ? text : token);
    const QString mine = AppVersion::withoutV(current);
    const int order = AppVersion::compareVersions(mine, release);
    check(order == -AppVersion::compareVersions(release, mine), "release order", input);
    check(AppVersion::compareVersions(release, release) == 0, "release order reflexive", input);
    check(!AppVersion::isOffered(true, release, release), "a release offered over itself", input);
    (void)AppVersion::isOffered(false, mine, release);
    return 0;
}
