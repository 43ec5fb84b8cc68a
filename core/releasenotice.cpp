#include "core/releasenotice.h"

#include <QLabel>
#include <QMessageBox>

namespace {
const QString makerSite = QStringLiteral("https://www.veltrano.com/");
const QString makerSiteName = QStringLiteral("www.veltrano.com");
} // namespace

void execLatestReleaseNotice(QWidget *parent)
{
    QMessageBox box(parent);
    box.setIcon(QMessageBox::Information);
    box.setWindowTitle(QStringLiteral("Information"));
    box.setTextFormat(Qt::RichText);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse
                                | Qt::LinksAccessibleByKeyboard);
    box.setText(QStringLiteral("This software is the latest release. Please ensure that your "
                               "product is using the latest firmware. Download the latest "
                               "firmware from the official website: "
                               "<a href=\"%1\" style=\"color:#FFA500;\">%2</a>")
                    .arg(makerSite, makerSiteName));
    if (auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label")))
        label->setOpenExternalLinks(true);
    box.exec();
}
