// quillpost-browser: shows the answer to one Submit in a window of its own.
//
// The main program starts it with a framed request on standard input (core/post/RequestFrame.h)
// and waits only until the window is up. So the program forks: the window process opens the
// window and says so on a pipe; the first process passes that on as "shown <pid>" and ends,
// and the window lives on by itself, after the main program too. A failure before that ends
// the first process with a non-zero status and a one-line reason on standard error.

#include "browser/BrowserWindow.h"
#include "core/post/RequestFrame.h"
#include "runs/Translations.h"

#include <QApplication>
#include <QTimer>
#include <QTranslator>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The reasons are given before any application object exists, so they are looked up in the
// translation directly rather than through an installed one.
QString Tr(const char* source)
{
    static const std::unique_ptr<QTranslator> translator = ProgramTranslator(QLocale::system());
    const QString text = translator ? translator->translate("QuillpostBrowser", source) : QString();
    return text.isEmpty() ? QString::fromUtf8(source) : text;
}

int GiveUp(const QString& reason)
{
    std::fprintf(stderr, "%s%s\n", RequestFrame::ReasonPrefix, reason.toLocal8Bit().constData());
    return 1;
}

// what: a text marked for the context "QuillpostBrowser", followed by the system's reason.
QString ErrnoText(const char* what)
{
    return Tr(what) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

// The engine will not run as root with its sandbox, and turning the sandbox off is the
// user's decision, not ours.
QString SandboxRefusal()
{
    if (geteuid() != 0)
        return QString();
    const char* disabled = std::getenv("QTWEBENGINE_DISABLE_SANDBOX");
    if (disabled && std::strcmp(disabled, "1") == 0)
        return QString();
    return Tr(QT_TRANSLATE_NOOP("QuillpostBrowser",
        "the browser engine cannot use its sandbox when run as root: run Quillpost as a "
        "normal user, or set QTWEBENGINE_DISABLE_SANDBOX=1 to accept the risk of pages "
        "running without it"));
}

std::string ReadToEnd(int fd)
{
    std::string text;
    char buffer[512];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got > 0)
            text.append(buffer, static_cast<std::size_t>(got));
        else if (got == 0 || errno != EINTR)
            return text;
    }
}

QString DescribeEnd(int status)
{
    if (WIFSIGNALED(status))
        //: %1 is the signal's number, %2 its name as the system gives it
        return Tr(QT_TRANSLATE_NOOP("QuillpostBrowser",
                      "the window process was stopped by signal %1 (%2) before its window was "
                      "shown"))
            .arg(QString::number(WTERMSIG(status)),
                QString::fromLocal8Bit(strsignal(WTERMSIG(status))));
    return Tr(QT_TRANSLATE_NOOP("QuillpostBrowser",
                  "the window process ended with status %1 before its window "
                  "was shown"))
        .arg(WEXITSTATUS(status));
}

// The first process: the pipe carries "shown" or a reason, and ends early when the window
// process dies.
int AwaitWindow(pid_t window, int pipe)
{
    std::string word = ReadToEnd(pipe);
    close(pipe);
    if (word == std::string(RequestFrame::ShownReply) + "\n") {
        std::printf("%s %ld\n", RequestFrame::ShownReply, static_cast<long>(window));
        return 0;
    }
    int status = 0;
    while (waitpid(window, &status, 0) < 0 && errno == EINTR) { }
    word = word.substr(0, word.find('\n'));
    return GiveUp(word.empty() ? DescribeEnd(status) : QString::fromStdString(word));
}

void SayShown(int pipe)
{
    const std::string word = std::string(RequestFrame::ShownReply) + "\n";
    if (write(pipe, word.data(), word.size()) < 0) {
        // The first process is gone; the window stays all the same.
    }
    close(pipe);
    // Nobody reads the main program's pipes after this; the engine's chatter goes nowhere.
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        close(null);
    }
}

int RunWindow(int argc, char** argv, const CPostRequest& request, int pipe)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // The engine's own texts too: Back, Forward, Reload, Stop and the page's context menu.
    InstallTranslations(
        QLocale::system(), {QStringLiteral("qtbase"), QStringLiteral("qtwebengine")});
    CBrowserWindow window;
    window.show();
    window.Post(request);
    QTimer::singleShot(0, &window, [pipe] { SayShown(pipe); });
    return app.exec();
}

} // namespace

int main(int argc, char** argv)
{
    // A closed pipe to the main program must not end the window.
    std::signal(SIGPIPE, SIG_IGN);
    if (const QString refusal = SandboxRefusal(); !refusal.isEmpty())
        return GiveUp(refusal);

    std::ios::sync_with_stdio(false);
    std::string error;
    const std::optional<CPostRequest> request = RequestFrame::Read(std::cin, error);
    if (!request)
        return GiveUp(QString::fromStdString(error));
    // The main program sends none such; what reaches the window is read as a post reads it.
    if (!request->m_address.IsValid())
        //: %1 is why, in English
        return GiveUp(Tr(QT_TRANSLATE_NOOP("QuillpostBrowser", "the address cannot be posted: %1"))
                          .arg(QString::fromStdString(request->m_address.Refusal().English())));

    // Close-on-exec, so the engine's own processes do not hold the pipe open.
    int pipe[2];
    if (pipe2(pipe, O_CLOEXEC) != 0)
        return GiveUp(ErrnoText(QT_TRANSLATE_NOOP("QuillpostBrowser", "cannot make a pipe")));
    const pid_t window = fork();
    if (window < 0)
        return GiveUp(
            ErrnoText(QT_TRANSLATE_NOOP("QuillpostBrowser", "cannot start the window process")));
    if (window > 0) {
        close(pipe[1]);
        return AwaitWindow(window, pipe[0]);
    }
    close(pipe[0]);
    // A session of its own: a terminal closing behind the main program leaves the page open.
    setsid();
    return RunWindow(argc, argv, *request, pipe[1]);
}
