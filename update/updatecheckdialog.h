#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

class QLabel;
class QNetworkReply;
class QProgressBar;
class QPushButton;

/// The dialog of one application update check: hidden while the check
/// runs, shown when a newer release is found, then the installer download's
/// progress. Cancel aborts a running download and closes it.
class UpdateCheckDialog : public QDialog
{
    Q_OBJECT

public:
    explicit UpdateCheckDialog(QWidget *parent);

    QLabel *label = nullptr;
    QProgressBar *progressBar = nullptr;
    QPushButton *downloadButton = nullptr;
    QPushButton *cancelButton = nullptr;

    /// The release found: its token ("Stompwright_V4.1.0") and number ("4.1.0").
    QString token;
    QString release;
    /// The installer download under way, if any.
    QPointer<QNetworkReply> download;
    /// Cancel was pressed.
    bool cancelled = false;

private:
    void cancel();
};
