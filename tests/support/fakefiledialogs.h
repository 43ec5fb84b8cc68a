#pragma once

#include "core/filedialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

/// File dialogs that answer from a list instead of asking, and record what
/// the program asked with. Installed for the lifetime of the object.
class FakeFileDialogs : public FileDialogs
{
public:
    struct Asked {
        bool save;
        QString caption;
        QString filter;
    };

    FakeFileDialogs() { FileDialogs::setCurrent(this); }
    ~FakeFileDialogs() override { FileDialogs::setCurrent(nullptr); }
    FakeFileDialogs(const FakeFileDialogs &) = delete;
    FakeFileDialogs &operator=(const FakeFileDialogs &) = delete;

    /// Answers for the next dialogs, in order; an empty string is a Cancel.
    void answerWith(const QStringList &names) { answers = names; }
    QStringList answers;
    QList<Asked> asked;

    QString getSaveFileName(QWidget *, const QString &caption, const QString &,
                            const QString &filter) override
    {
        return answer(true, caption, filter);
    }
    QString getOpenFileName(QWidget *, const QString &caption, const QString &,
                            const QString &filter) override
    {
        return answer(false, caption, filter);
    }

private:
    QString answer(bool save, const QString &caption, const QString &filter)
    {
        asked.append({save, caption, filter});
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};
