#include "ui/HelperLauncher.h"

#include "core/post/RequestFrame.h"
#include "core/system/HelperPrograms.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

namespace {

const QString HelperName = QStringLiteral("quillpost-browser");
// Long enough for the engine to start on a slow machine, short enough that quitting the
// program never seems to hang.
constexpr int ShutdownWaitMs = 10000;

// The helper's own reason; failing that, the last line anything wrote (Qt or the engine
// dying before the helper could say a word).
QString ReasonFrom(const QByteArray& errors)
{
    const QString prefix = QString::fromLatin1(RequestFrame::ReasonPrefix);
    const QList<QByteArray> lines = errors.split('\n');
    QString last;
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        const QString text = QString::fromLocal8Bit(*line).trimmed();
        if (text.startsWith(prefix))
            return text.mid(prefix.size());
        if (last.isEmpty())
            last = text;
    }
    return last;
}

} // namespace

CHelperLauncher::CHelperLauncher(QString helper, QObject* parent)
    : QObject(parent)
    , m_strHelper(std::move(helper))
{
}

CHelperLauncher::~CHelperLauncher()
{
    for (QProcess* process : findChildren<QProcess*>()) {
        disconnect(process, nullptr, this, nullptr);
        if (process->state() != QProcess::NotRunning)
            process->waitForFinished(ShutdownWaitMs);
    }
}

QStringList CHelperLauncher::HelperCandidates()
{
    QStringList candidates;
    for (const std::string& path : ::HelperCandidates(HelperName.toStdString()))
        candidates << QDir::cleanPath(QFile::decodeName(QByteArray::fromStdString(path)));
    return candidates;
}

void CHelperLauncher::Navigate(const CPostRequest& request)
{
    QString helper = m_strHelper;
    if (helper.isEmpty()) {
        const QStringList candidates = HelperCandidates();
        for (const QString& candidate : candidates) {
            if (QFileInfo(candidate).isExecutable()) {
                helper = candidate;
                break;
            }
        }
        if (helper.isEmpty()) {
            //: Joins the paths the browser helper program was looked for at: "/a and /b"
            const QString paths = candidates.join(tr(" and "));
            //: %1 is the browser helper program's name, %2 the paths it was looked for at
            FailLater(tr("%1 is missing; it was looked for as %2").arg(HelperName, paths));
            return;
        }
    }

    auto* process = new QProcess(this);
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        // Every other error ends in finished as well.
        if (error != QProcess::FailedToStart)
            return;
        //: %1 is the browser helper program, %2 why it cannot be started
        Q_EMIT Failed(
            tr("%1 cannot be started: %2").arg(process->program(), process->errorString()));
        process->deleteLater();
    });
    connect(process, &QProcess::finished, this,
        [this, process](int exitCode, QProcess::ExitStatus exitStatus) {
            OnFinished(process, exitCode, exitStatus);
        });
    process->start(helper, QStringList());
    process->write(QByteArray::fromStdString(RequestFrame::Write(request)));
    process->closeWriteChannel();
}

void CHelperLauncher::OnFinished(QProcess* process, int exitCode, QProcess::ExitStatus exitStatus)
{
    process->deleteLater();
    const QByteArray shown = QByteArray(RequestFrame::ShownReply) + ' ';
    const QByteArray out = process->readAllStandardOutput().trimmed();
    if (exitStatus == QProcess::NormalExit && exitCode == 0 && out.startsWith(shown)) {
        bool isNumber = false;
        const qint64 pid = out.mid(shown.size()).toLongLong(&isNumber);
        if (isNumber) {
            Q_EMIT WindowShown(pid);
            return;
        }
    }
    QString reason = ReasonFrom(process->readAllStandardError());
    if (reason.isEmpty() && exitStatus == QProcess::CrashExit) {
        //: %1 is the browser helper program's name
        reason = tr("%1 crashed before its window was shown").arg(HelperName);
    } else if (reason.isEmpty()) {
        //: %1 is the browser helper program's name, %2 its exit status
        reason = tr("%1 ended with status %2 before its window was shown")
                     .arg(HelperName, QString::number(exitCode));
    }
    Q_EMIT Failed(reason);
}

// Navigate returns before any answer from a helper; a failure found at once is told the
// same way.
void CHelperLauncher::FailLater(const QString& reason)
{
    QMetaObject::invokeMethod(
        this, [this, reason] { Q_EMIT Failed(reason); }, Qt::QueuedConnection);
}
