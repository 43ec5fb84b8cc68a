#include "support/modalwatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QProgressDialog>

ModalWatcher::ModalWatcher(QMessageBox::StandardButton answer, QObject *parent)
    : QObject(parent), m_answer(answer)
{
    connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::poll);
    m_timer.start(10);
}

QStringList ModalWatcher::texts() const
{
    QStringList out;
    for (const Seen &s : m_seen)
        out.append(s.text);
    return out;
}

void ModalWatcher::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    auto *box = qobject_cast<QMessageBox *>(modal);
    if (!box) {
        // A progress dialog closes with its job; its Cancel is the test's to press.
        if (qobject_cast<QProgressDialog *>(modal))
            return;
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        return;
    }
    int open = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        open += qobject_cast<QMessageBox *>(w) && w->isVisible();
    m_seen.append({box->windowTitle(), box->text(), box->icon(), box->standardButtons(), open});
    if (m_inspect)
        m_inspect(box);
    QAbstractButton *button = nullptr;
    for (QAbstractButton *b : box->buttons()) {
        if (!m_answerText.isEmpty() && b->text() == m_answerText)
            button = b;
    }
    if (!button)
        button = box->button(m_answer);
    if (!button && !box->buttons().isEmpty())
        button = box->buttons().constFirst();
    if (button)
        button->click();
    else
        box->done(0);
}
