#pragma once

#include <QByteArray>
#include <QString>

/// What an image must be before anything is erased for it: its size, the
/// model its file name names, and the checksum the download server offers
/// beside it.
namespace FirmwareImage {

/// No controller's flash holds more; a larger file is not a firmware image.
constexpr qint64 maxBytes = 1024 * 1024;
/// A checksum file is one line; anything much longer is not one.
constexpr qint64 maxChecksumFileBytes = 4096;

/// Why an image of this many bytes is refused, in words for the user; empty
/// when its size is acceptable (1 byte to maxBytes).
QString sizeProblem(qint64 size);

/// The model word a text names (QRX-10, QRX-20, QRX-30, ZT-3, ZT-1 or
/// WQM-30; "ZT-UNO" is the ZT-1), in any letter case; the word named first
/// when there are several; empty when none.
QString modelNamedIn(const QString &text);

/// The model a file's name names when it is another than the device's
/// reported model; empty when the name names none, the device's own, or the
/// device's model is not known.
QString otherModelNamed(const QString &fileName, const QString &deviceModel);

/// The SHA-256 a checksum file gives, as 64 lower-case hexadecimal digits:
/// the first line's first word. Empty when that is not 64 hexadecimal digits.
QByteArray checksumFrom(const QByteArray &file);

/// SHA-256 of the image, 64 lower-case hexadecimal digits.
QByteArray sha256Hex(const QByteArray &image);

/// Where the server offers an image's checksum: the image's path plus ".sha256".
QString checksumPath(const QString &imagePath);

} // namespace FirmwareImage
