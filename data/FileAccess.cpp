#include "data/FileAccess.h"

#include "data/XmlDocument.h"

#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace FileAccess {

std::string OsReason(int error)
{
    return std::strerror(error);
}

FileWriter::FileWriter(QSaveFile& file, std::function<void(std::uint64_t)> written)
    : m_file(file)
    , m_written(std::move(written))
{
    m_buffer.reserve(Capacity);
}

void FileWriter::write(const void* data, std::size_t size)
{
    m_total += size;
    if (m_total > CXmlDocument::MaxFileSize) {
        m_tooLarge = m_failed = true;
        return;
    }
    if (m_buffer.size() + size > Capacity)
        Flush();
    if (size >= Capacity)
        WriteOut(static_cast<const char*>(data), size);
    else
        m_buffer.append(static_cast<const char*>(data), size);
}

bool FileWriter::Flush()
{
    if (!m_buffer.empty())
        WriteOut(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
    return !m_failed;
}

void FileWriter::WriteOut(const char* data, std::size_t size)
{
    if (m_failed)
        return;
    errno = 0;
    const auto length = static_cast<qint64>(size);
    if (m_file.write(data, length) != length) {
        m_failed = true;
        m_osError = errno;
        return;
    }
    m_done += size;
    m_written(m_done);
}

std::string Reason(const QSaveFile& file, int osError)
{
    const std::string reason = file.errorString().toStdString();
    if (!reason.empty() && reason != "Unknown error")
        return reason;
    return osError != 0 ? OsReason(osError) : "write failed";
}

bool IsRunningExecutable(const std::string& path)
{
    std::error_code error;
    return std::filesystem::equivalent(path, "/proc/self/exe", error) && !error;
}

bool SyncFolderOf(const std::string& path, std::string& reason)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    const int fd
        = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        reason = OsReason(errno);
        return false;
    }
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    if (!synced)
        reason = OsReason(errno);
    ::close(fd);
    return synced;
}

std::string MiB(std::uint64_t bytes)
{
    return std::to_string(bytes / (1024 * 1024)) + " MiB";
}

std::string SizeLimitReason()
{
    return "the file is larger than " + MiB(CXmlDocument::MaxFileSize);
}

} // namespace FileAccess
