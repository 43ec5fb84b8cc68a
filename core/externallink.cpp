#include "core/externallink.h"

#include "core/logging.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

bool openExternalLink(QWidget *parent, const QUrl &url)
{
    if (QDesktopServices::openUrl(url))
        return true;
    qCWarning(lcApp) << "No handler opened" << url.toString();
    QMessageBox box(QMessageBox::Warning, QObject::tr("Open Link"),
                    QObject::tr("No program on this computer could open the link. Copy its "
                                "address into a browser:\n\n%1")
                        .arg(url.toString()),
                    QMessageBox::Ok, parent);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.exec();
    return false;
}
