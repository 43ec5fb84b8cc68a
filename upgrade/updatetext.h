#pragma once

#include <QList>
#include <QString>

/// The vendor's update texts and version numbers. An update text is UTF-8:
/// its first line is the version line "<product>_V<digits and dots>" (for
/// example "ZT-3_V1.2.0"), and the description follows a line holding
/// "Update content:". Firmware images and update texts live on the download
/// server under the paths built here.
namespace UpdateText {

/// One controller model the online firmware update knows.
struct OnlineModel {
    QString key;      ///< the word looked for in the model the device reports
    QString product;  ///< product name of the version line and the image folder
    QString textPath; ///< update text, relative to the download server
};

/// The numbers after the first capital "V", split at "." with empty parts
/// kept; parts that are not numbers count 0. No "V": an empty list.
QList<int> parseVersionNumbers(const QString &text);

/// -1, 0 or 1 as a is older than, equal to or newer than b; a missing
/// number counts 0, so 1.2 equals 1.2.0.
int compareVersionNumbers(const QList<int> &a, const QList<int> &b);

/// The version token "<product>_V1.2.0" when the text starts with it
/// (at the very first character, not on a later line); empty otherwise.
QString versionToken(const QString &text, const QString &product);

/// Everything after "Update content:" and the white space that follows it, to
/// the end of the text, untrimmed; empty without the label.
QString description(const QString &text);

/// The models of the upgrade dialog's online update, in the order they are
/// looked for in the reported model.
const QList<OnlineModel> &onlineModels();
/// The first online model whose key occurs in productModel (case-sensitive);
/// nullptr when none does.
const OnlineModel *onlineModelFor(const QString &productModel);

/// "download/Product/<folder>/Update/<fileStem>_Update.txt"
QString updateTextPath(const QString &folder, const QString &fileStem);

/// "download/Product/<product>/Update/<token>.bin"
QString firmwarePath(const QString &product, const QString &token);

} // namespace UpdateText
