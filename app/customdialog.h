#pragma once

#include <QDialog>
#include <QString>

/// The About dialog: frameless, with a painted title band by which it is dragged.
class CustomDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CustomDialog(QWidget *parent = nullptr);

    /// Height of the painted title band, the only place that drags the dialog (pixels).
    static constexpr int TitleBandHeight = 30;

    /// The release this program is, as the dialog shows it ("V4.0.1").
    QString versionText() const { return version; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QString version = QStringLiteral("V4.0.1");
    /// Pointer position minus the frame's top-left corner when the band was grabbed.
    int dragX = 0;
    int dragY = 0;
};
