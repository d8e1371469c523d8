#pragma once

#include "core/system/BrowserLauncher.h"

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

// The program's browser seam: each navigation starts the browser helper program with the
// request on its standard input (core/post/RequestFrame.h). The helper's window lives on by
// itself, after this program too; the launcher only learns whether it came up.
class CHelperLauncher : public QObject, public CBrowserLauncher
{
    Q_OBJECT

public:
    // helper: the program to start; empty means the first of HelperCandidates that exists.
    explicit CHelperLauncher(QString helper = QString(), QObject* parent = nullptr);
    // Waits a little for helpers still opening their windows, so a Submit made just before
    // the program ends still shows its page.
    ~CHelperLauncher() override;

    void Navigate(const CPostRequest& request) override;

    // Beside the running program first, then the folder it is installed in relative to
    // the program's.
    static QStringList HelperCandidates();

Q_SIGNALS:
    // The helper's window is up; pid is its process, which is no child of this one.
    void WindowShown(qint64 pid);
    // No window came up; the reason is one line.
    void Failed(const QString& reason);

private:
    void OnFinished(QProcess* process, int exitCode, QProcess::ExitStatus exitStatus);
    void FailLater(const QString& reason);

    QString m_strHelper;
};
