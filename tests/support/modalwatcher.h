#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

/// Closes every modal box that opens while it lives, recording what the user
/// would have seen, and answers it with the given button.
class ModalWatcher : public QObject
{
    Q_OBJECT

public:
    struct Seen
    {
        QString title;
        QString text;
    };

    explicit ModalWatcher(QMessageBox::StandardButton answer = QMessageBox::Ok,
                          QObject *parent = nullptr);

    /// Button answered to boxes opened from now on.
    void setAnswer(QMessageBox::StandardButton answer) { m_answer = answer; }
    const QList<Seen> &seen() const { return m_seen; }
    QStringList texts() const;

private:
    void poll();

    QTimer m_timer;
    QMessageBox::StandardButton m_answer;
    QList<Seen> m_seen;
};
