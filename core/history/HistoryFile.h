#pragma once

#include "core/history/PostHistory.h"

#include <string>

// What the history file asks of the file system beyond SQLite: links and other things that
// are no regular file refused, and a damaged file moved aside.
class CHistoryFile
{
public:
    // The files SQLite keeps beside the history file while it is in use.
    static constexpr const char* Companions[] = {"-wal", "-shm"};

    static std::string SystemError(int errorNumber);
    // Whether anything is at path, a dangling link too; true when that cannot be told.
    static bool Exists(const std::string& path);
    // Whether something other than a regular file is at path itself: a link, wherever it
    // leads, a folder, a FIFO.
    static bool IsOtherThanFile(const std::string& path);
    // The path SQLite is given: the folder's links resolved, so that SQLITE_OPEN_NOFOLLOW,
    // which refuses a link anywhere on the path, refuses one at the file's own place only.
    static std::string WithFolderResolved(const std::string& path);
    // SQLite's read of a file as it stands, without locks or the -wal and -shm files.
    static std::string ImmutableUri(const std::string& path);
    // Moves the damaged file at path aside with its -wal and -shm files, under the first name
    // that is free for all three; false with why in failure.
    static bool MoveAside(const std::string& path, CPostHistory::Time now, std::string& movedTo,
        std::string& failure);

private:
    // A rename that never replaces a file already at to, where the file system can promise it.
    static int RenameNoReplace(const std::string& from, const std::string& to);
    static std::string UtcDate(CPostHistory::Time time);
};
