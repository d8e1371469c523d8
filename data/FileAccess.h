#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class QSaveFile;
struct stat;

// What reading and safely replacing the document's file need beyond Qt: the writer that
// feeds a QSaveFile, the checks around its rename, and readable reasons for the faults.
namespace FileAccess {

// Far more than any real target list; a larger file is refused before it is read, and
// no save writes one.
constexpr std::uint64_t MaxFileSize = 64u * 1024u * 1024u;

std::string OsReason(int error);

// What tells one state of a file from another without reading it: another program that
// writes the file changes at least one of these.
struct CFileStamp
{
    bool m_bExists = false;
    bool m_bRegular = false;
    std::uint64_t m_device = 0;
    std::uint64_t m_inode = 0;
    std::uint64_t m_size = 0;
    std::int64_t m_modifiedNs = 0;

    bool operator==(const CFileStamp& other) const;
    bool operator!=(const CFileStamp& other) const { return !(*this == other); }
};

CFileStamp StampOf(const struct stat& info);
// Follows links and opens nothing, so a FIFO cannot block; a path that cannot be looked
// at reads as not existing.
CFileStamp StampOfPath(const std::string& path);

// Makes backup hold what the file at path (after links) holds now, replacing an older
// backup in one step: a hard link where the file system allows one, else a copy. A copy
// has the file's permissions, and its owner and group where they may be given; it is never
// open to more users than the file, and is so before it holds any of the file's bytes.
bool KeepAside(const std::string& path, const std::string& backup, std::string& reason);

// Passes pugixml's small pieces of output on to the file in large ones, so the text is
// never held whole. After the first failed write, or once the text outgrows what OpenFile
// accepts, the rest is dropped; a write's errno is kept, as Qt does not always give a
// reason.
class CFileWriter : public pugi::xml_writer
{
public:
    CFileWriter(QSaveFile& file, std::function<void(std::uint64_t)> written);
    void write(const void* data, std::size_t size) override;
    // Writes what is held back; false if any write failed.
    bool Flush();
    int OsError() const { return m_osError; }
    bool TooLarge() const { return m_bTooLarge; }

private:
    static constexpr std::size_t Capacity = 256 * 1024;

    void WriteOut(const char* data, std::size_t size);

    QSaveFile& m_file;
    std::function<void(std::uint64_t)> m_written;
    std::string m_strBuffer;
    std::uint64_t m_total = 0;
    std::uint64_t m_done = 0;
    bool m_bFailed = false;
    bool m_bTooLarge = false;
    int m_osError = 0;
};

// Qt 6.4 gives no reason for some write faults (a full disk, the file-size limit); the
// system's is then still in errno.
std::string Reason(const QSaveFile& file, int osError);

// Saving over the program itself would destroy it; hard links and symbolic links count.
bool IsRunningExecutable(const std::string& path);

// Whether a save may replace what is at path: not the program itself, and nothing but a
// regular file at the end of any links (a device, a FIFO or a folder is not a save's to
// replace). old is what is there now.
bool MayReplace(const std::string& path, CFileStamp& old, std::string& reason);

// Writes bytes to the file at path as the data file is saved: MayReplace's checks first,
// then beside the file, synced, and renamed over it only when complete, so the old file
// stays whole on any failure. Through a link to a file, the link's target is replaced and
// the link kept; an existing file's permission bits are kept. False, with the reason.
bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string& reason);

// QSaveFile leaves its new file writable by its owner whatever the old one's bits: gives the
// file open at fd the permission bits of the regular file at path (after links), where there
// is one, so that a read-only file stays read-only. False, with the reason.
bool KeepModeOf(const std::string& path, int fd, std::string& reason);

// Syncs the folder holding path, so that a rename into it survives a crash.
bool SyncFolderOf(const std::string& path, std::string& reason);

std::string MiB(std::uint64_t bytes);

// Why a file larger than MaxFileSize is refused.
std::string SizeLimitReason();

} // namespace FileAccess
