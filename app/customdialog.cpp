#include "app/customdialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyleOption>
#include <QVBoxLayout>

namespace {

const char *const kCalibri = "QLabel { font-family: 'Calibri'; font-size: 12pt; }";

QLabel *centredLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QLatin1String(kCalibri));
    return label;
}

} // namespace

CustomDialog::CustomDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowTitleHint
                   | Qt::CustomizeWindowHint);
    setStyleSheet(QStringLiteral(
        "QDialog { background-color: white; border: 1px solid gray; }"
        "QLabel { color: black; font-size: 12px; }"
        "QPushButton { background-color: white; border: 1px solid gray; padding: 5px; }"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, TitleBandHeight + 10, 10, 10);

    layout->addWidget(centredLabel(QStringLiteral("Versio %1").arg(version), this),
                      0, Qt::AlignCenter);

    auto *picture = new QLabel(this);
    picture->setPixmap(QPixmap(QStringLiteral(":/IMG/label2.png"))
                           .scaled(100, 50, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picture->setAlignment(Qt::AlignCenter);
    layout->addWidget(picture, 0, Qt::AlignCenter);

    QLabel *notice = centredLabel(
        QStringLiteral("Copyright &copy; Veltrano Audio. All rights reserved.<br>"
                       "Stompwright is provided as is, without warranty of any kind."),
        this);
    notice->setTextFormat(Qt::RichText);
    layout->addWidget(notice, 0, Qt::AlignCenter);

    QLabel *site = centredLabel(
        QStringLiteral("<a href=\"https://www.veltrano.com/\">www.veltrano.com</a>"), this);
    site->setTextFormat(Qt::RichText);
    site->setTextInteractionFlags(Qt::TextBrowserInteraction);
    site->setOpenExternalLinks(true);
    layout->addWidget(site, 0, Qt::AlignCenter);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    ok->setMinimumSize(40, 15);
    ok->setStyleSheet(QStringLiteral(
        "QPushButton {    background-color: white;    border: 1px solid gray;    "
        "border-radius: 5px;    padding: 5px 20px;    font-family: Arial;    font-size: 14px;    "
        "color: black;}QPushButton:hover {    background-color: lightgray;}"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons, 0, Qt::AlignCenter);
}

void CustomDialog::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);

    QLinearGradient band(0, 0, 0, TitleBandHeight);
    band.setColorAt(0, Qt::lightGray);
    band.setColorAt(1, QColor(240, 240, 240));
    painter.fillRect(0, 0, width(), TitleBandHeight, band);

    painter.setPen(Qt::gray);
    painter.drawLine(0, 0, width() - 1, 0);
    painter.drawLine(0, 0, 0, height() - 2);
    painter.drawLine(width() - 1, 0, width() - 1, height() - 2);

    painter.setFont(QFont(QStringLiteral("Calibri"), 12));
    painter.setPen(Qt::black);
    painter.drawText(QRect(5, 5, width(), TitleBandHeight), Qt::AlignLeft,
                     QStringLiteral("About Stompwright"));
}

void CustomDialog::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && event->pos().y() < TitleBandHeight) {
        const QPoint offset = event->globalPos() - frameGeometry().topLeft();
        dragX = offset.x();
        dragY = offset.y();
    }
}

void CustomDialog::mouseMoveEvent(QMouseEvent *event)
{
    if ((event->buttons() & Qt::LeftButton) && event->pos().y() < TitleBandHeight)
        move(event->globalPos() - QPoint(dragX, dragY));
}
