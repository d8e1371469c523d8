#include "data/FileAccess.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace FileAccess {

std::string OsReason(int error)
{
    return std::strerror(error);
}

bool CFileStamp::operator==(const CFileStamp& other) const
{
    return m_bExists == other.m_bExists && m_bRegular == other.m_bRegular
        && m_device == other.m_device && m_inode == other.m_inode && m_size == other.m_size
        && m_modifiedNs == other.m_modifiedNs;
}

CFileStamp StampOf(const struct stat& info)
{
    CFileStamp stamp;
    stamp.m_bExists = true;
    stamp.m_bRegular = S_ISREG(info.st_mode);
    stamp.m_device = info.st_dev;
    stamp.m_inode = info.st_ino;
    stamp.m_size = static_cast<std::uint64_t>(info.st_size);
    stamp.m_modifiedNs = std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return stamp;
}

CFileStamp StampOfPath(const std::string& path)
{
    struct stat info = {};
    return ::stat(path.c_str(), &info) == 0 ? StampOf(info) : CFileStamp();
}

namespace {

// Gives the copy open at fd the owner of the file it copies where that may be done, and
// that file's permissions, but never opens it to anyone the file was closed to. Only root
// may give a file away and an ordinary user may give it only a group of theirs, so either
// may stay the copier's: a copy of another group keeps for its group, and for everyone
// else, only what the original's group and everyone else both had.
bool TakeOwnerAndMode(int fd, const struct stat& original, std::string& reason)
{
    if (::fchown(fd, original.st_uid, original.st_gid) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), original.st_gid);
    struct stat copy = {};
    if (::fstat(fd, &copy) != 0) {
        reason = OsReason(errno);
        return false;
    }
    mode_t mode = original.st_mode & 0777;
    if (copy.st_gid != original.st_gid) {
        const mode_t shared = (mode >> 3) & mode & 07;
        mode = (mode & 0700) | (shared << 3) | shared;
    }
    if (::fchmod(fd, mode) != 0) {
        reason = OsReason(errno);
        return false;
    }
    return true;
}

bool CopyInto(const std::string& path, const std::string& backup, std::string& reason)
{
    // The file is a regular one within the size limit, so it is read whole. Not committed,
    // the copy is dropped with the object.
    QFile source(QFile::decodeName(QByteArray::fromStdString(path)));
    QSaveFile copy(QFile::decodeName(QByteArray::fromStdString(backup)));
    struct stat original = {};
    if (!source.open(QIODevice::ReadOnly)) {
        reason = source.errorString().toStdString();
        return false;
    }
    if (::fstat(source.handle(), &original) != 0) {
        reason = OsReason(errno);
        return false;
    }
    const QByteArray bytes = source.readAll();
    errno = 0;
    if (!copy.open(QIODevice::WriteOnly)) {
        reason = Reason(copy, errno);
        return false;
    }
    // QSaveFile makes its file with the usual mode (0644 under the usual umask) where no
    // file of the name is yet, and with an older backup's where one is. It has no name
    // until it is complete (O_TMPFILE, where the file system has it), but its owner and
    // mode are the original's before a byte of the original is in it all the same.
    if (!TakeOwnerAndMode(copy.handle(), original, reason))
        return false;
    errno = 0;
    if (copy.write(bytes) == bytes.size() && copy.flush() && ::fsync(copy.handle()) == 0
        && copy.commit())
        return true;
    reason = Reason(copy, errno);
    return false;
}

} // namespace

bool KeepAside(const std::string& path, const std::string& backup, std::string& reason)
{
    // Renamed into place only once complete, so an older backup is never half replaced.
    const std::string linked = backup + ".new";
    ::unlink(linked.c_str());
    if (::linkat(AT_FDCWD, path.c_str(), AT_FDCWD, linked.c_str(), AT_SYMLINK_FOLLOW) != 0)
        return CopyInto(path, backup, reason);
    if (::rename(linked.c_str(), backup.c_str()) != 0) {
        reason = OsReason(errno);
        ::unlink(linked.c_str());
        return false;
    }
    return true;
}

CFileWriter::CFileWriter(QSaveFile& file, std::function<void(std::uint64_t)> written)
    : m_file(file)
    , m_written(std::move(written))
{
    m_strBuffer.reserve(Capacity);
}

void CFileWriter::write(const void* data, std::size_t size)
{
    m_total += size;
    if (m_total > MaxFileSize) {
        m_bTooLarge = m_bFailed = true;
        return;
    }
    if (m_strBuffer.size() + size > Capacity)
        Flush();
    if (size >= Capacity)
        WriteOut(static_cast<const char*>(data), size);
    else
        m_strBuffer.append(static_cast<const char*>(data), size);
}

bool CFileWriter::Flush()
{
    if (!m_strBuffer.empty())
        WriteOut(m_strBuffer.data(), m_strBuffer.size());
    m_strBuffer.clear();
    return !m_bFailed;
}

void CFileWriter::WriteOut(const char* data, std::size_t size)
{
    if (m_bFailed)
        return;
    errno = 0;
    const auto length = static_cast<qint64>(size);
    if (m_file.write(data, length) != length) {
        m_bFailed = true;
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

bool MayReplace(const std::string& path, CFileStamp& old, std::string& reason)
{
    if (IsRunningExecutable(path)) {
        reason = "it is the program itself";
        return false;
    }
    // After links: the end of a link from path is what would be replaced.
    old = StampOfPath(path);
    if (old.m_bExists && !old.m_bRegular) {
        reason = "not a regular file";
        return false;
    }
    return true;
}

bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string& reason)
{
    CFileStamp old;
    if (!MayReplace(path, old, reason))
        return false;
    // QSaveFile gives the new file the old one's permissions, and replaces the target of a
    // link to a file rather than the link.
    QSaveFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        reason = Reason(file, errno);
        return false;
    }
    // Qt 6.4 may commit after a short write or a failed flush: every step is checked, and
    // the new file dropped on the first fault.
    std::string fault;
    errno = 0;
    const auto size = static_cast<qint64>(bytes.size());
    bool written = file.write(bytes.data(), size) == size;
    int osError = errno;
    if (written) {
        errno = 0;
        written = file.flush();
        osError = errno;
    }
    if (!written)
        fault = Reason(file, osError);
    else if (::fsync(file.handle()) != 0)
        fault = OsReason(errno);
    else
        KeepModeOf(path, file.handle(), fault);
    if (!fault.empty()) {
        file.cancelWriting();
        file.commit();
        reason = fault;
        return false;
    }
    errno = 0;
    if (!file.commit()) {
        reason = Reason(file, errno);
        return false;
    }
    if (!SyncFolderOf(path, fault)) {
        reason = "it was written, but its folder could not be synced: " + fault;
        return false;
    }
    return true;
}

bool KeepModeOf(const std::string& path, int fd, std::string& reason)
{
    struct stat old = {};
    if (::stat(path.c_str(), &old) != 0 || !S_ISREG(old.st_mode))
        return true;
    if (::fchmod(fd, old.st_mode & 0777) == 0)
        return true;
    reason = OsReason(errno);
    return false;
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
    return "the file is larger than " + MiB(MaxFileSize);
}

} // namespace FileAccess
