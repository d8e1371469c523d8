#include "cli/Command.h"

#include <QCommandLineParser>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The standard streams that were closed when the program started.
bool g_closed[3] = {};

// False, with the system's reason in error, when not every byte could be written.
bool Write(std::FILE* out, const std::string& bytes, int& error)
{
    const int fd = ::fileno(out);
    if (fd >= 0 && fd < 3 && g_closed[fd]) {
        error = EBADF;
        return false;
    }
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0)
        return true;
    error = errno != 0 ? errno : EIO;
    return false;
}

} // namespace

CCommand::CCommand(const char* name, const CCommandSettings& settings)
    : m_name(name)
    , m_settings(settings)
{
}

CCommand::~CCommand() = default;

void CCommand::GuardStandardStreams()
{
    // In order, so that each open takes the lowest number free: the stream's own.
    for (int fd = 0; fd < 3; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF)
            continue;
        g_closed[fd] = true;
        // Not closed on exec: it stands for a standard stream, which a child inherits.
        const int null = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
    }
}

void CCommand::Say(const QString& reason)
{
    // Diagnostics take one line, whatever the reason holds.
    QString line = QStringLiteral("quillpost: ") + reason;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    WriteAnyway(stderr, line.toStdString() + '\n');
}

bool CCommand::Print(const std::string& bytes)
{
    int error = 0;
    if (Write(stdout, bytes, error))
        return true;
    Say(tr("The output could not be written: %1.")
            .arg(QString::fromLocal8Bit(std::strerror(error))));
    return false;
}

void CCommand::WriteAnyway(std::FILE* out, const std::string& bytes)
{
    int error = 0;
    Write(out, bytes, error);
}

QCommandLineOption CCommand::FormatOption()
{
    return QCommandLineOption(QStringLiteral("format"), QString(), QStringLiteral("format"));
}

bool CCommand::TakeFormat(const QCommandLineParser& parser, QString& error)
{
    const QString name = FormatOption().names().front();
    const QString kind = parser.value(name);
    if (kind == QLatin1String("json"))
        m_format = Format::Json;
    else if (kind == QLatin1String("csv"))
        m_format = Format::Csv;
    else if (parser.isSet(name) && kind != QLatin1String("text")) {
        error = tr("--format takes text, json or csv, not '%1'.").arg(kind);
        return false;
    }
    return true;
}

bool CCommand::TakeList(const QStringList& arguments, std::optional<QString>& file, QString& error)
{
    // A script's empty "$LIST" names no list: it must not post the one the window would load.
    if (!arguments.isEmpty() && arguments.front().isEmpty()) {
        error = tr("An empty FILE names no list; leave it out for the list the window would "
                   "load.");
        return false;
    }
    if (arguments.size() > 1) {
        error = tr("One list at a time: '%1' and '%2' were given.").arg(arguments[0], arguments[1]);
        return false;
    }
    if (!arguments.isEmpty())
        file = arguments.front();
    return true;
}

bool CCommand::Emit(std::FILE* out, const std::string& bytes)
{
    bool& lost = out == stdout ? m_bOutLost : m_bErrLost;
    if (lost)
        return false;
    int error = 0;
    if (Write(out, bytes, error))
        return true;
    const bool first = !OutputLost();
    lost = true;
    Say(tr("The output could not be written: %1.")
            .arg(QString::fromLocal8Bit(std::strerror(error))));
    if (first)
        OnOutputLost();
    return false;
}
