#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

class QLabel;
class QNetworkAccessManager;
class QNetworkReply;
class QProgressBar;
class QPushButton;

/// The dialog of one application update check: hidden while the check
/// runs, shown when a newer release is found, then the installer download's
/// progress. It owns the check's network manager, and with it every request
/// of the check; whichever way it is closed, a download under way is aborted
/// unheard and the dialog is released.
class UpdateCheckDialog : public QDialog
{
    Q_OBJECT

public:
    explicit UpdateCheckDialog(QWidget *parent);
    ~UpdateCheckDialog() override;

    QLabel *label = nullptr;
    QProgressBar *progressBar = nullptr;
    QPushButton *downloadButton = nullptr;
    QPushButton *cancelButton = nullptr;

    /// The release found: its token ("Stompwright_V4.1.0") and number ("4.1.0").
    QString token;
    QString release;

    /// The manager of this check's requests.
    QNetworkAccessManager *network() const { return m_network; }
    /// The installer download under way; closing the dialog aborts it
    /// before its finished signal reaches anyone.
    void setDownload(QNetworkReply *reply);

private:
    void dropDownload();

    QNetworkAccessManager *m_network = nullptr;
    QPointer<QNetworkReply> m_download;
};
