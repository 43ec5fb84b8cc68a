#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

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
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        /// Boxes of this application open while this one was open, itself included.
        int openBoxes = 1;
    };

    explicit ModalWatcher(QMessageBox::StandardButton answer = QMessageBox::Ok,
                          QObject *parent = nullptr);

    /// Button answered to boxes opened from now on.
    void setAnswer(QMessageBox::StandardButton answer) { m_answer = answer; }
    /// Boxes with a button of this text are answered with it; an empty text
    /// answers with the standard button again.
    void setAnswerText(const QString &text) { m_answerText = text; }
    /// Called with every box before it is answered, for checks beyond title and text.
    void setInspector(std::function<void(QMessageBox *)> inspect) { m_inspect = std::move(inspect); }
    const QList<Seen> &seen() const { return m_seen; }
    QStringList texts() const;

private:
    void poll();

    QTimer m_timer;
    QMessageBox::StandardButton m_answer;
    QString m_answerText;
    QList<Seen> m_seen;
    std::function<void(QMessageBox *)> m_inspect;
};
