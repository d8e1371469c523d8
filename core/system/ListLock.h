#pragma once

#include <string>

// Keeps two runs of one list apart, across processes: the timer's run and one by hand, or the
// window's, would otherwise post to the same servers at once.
//
// A run holds an flock on a file that stands for its list, in a folder of the user's own;
// the kernel lets go of it when the holder ends, however it ends, so a lock is never left
// behind. The file is named by a hash of the list's canonical path, so every way of writing
// one list's path takes the same lock. While held, it says who holds it: one line of the
// holder's process id, which side of the program it is ("window" or "command line") and
// when it took the lock.
class CListLock
{
public:
    // The two sides of the program that post a list, as the lock file names them.
    static constexpr const char* Window = "window";
    static constexpr const char* CommandLine = "command line";

    struct CHolder
    {
        long m_pid = 0;
        std::string m_strSide;
        // In ISO 8601, UTC: 2026-12-08T13:45:07Z.
        std::string m_strSince;
    };
    enum class Outcome
    {
        Taken,
        // Another run holds it.
        Busy,
        // There is no lock to be had: no folder for it, or the file cannot be made.
        Failed,
    };

    // The folder of the lock files from the values of XDG_RUNTIME_DIR, XDG_STATE_HOME and
    // HOME (null or empty when not set): Quillpost in the runtime folder, which is the
    // user's own and emptied at logout, or else in the state folder
    // ($HOME/.local/state when XDG_STATE_HOME is not set). A relative value is ignored, as
    // the XDG Base Directory rules have it. Empty when none of them gives a folder.
    static std::string FolderOf(const char* runtimeDir, const char* stateHome, const char* home);
    // FolderOf this process's environment.
    static std::string UserFolder();
    // The lock file in folder for the list at listPath, which need not exist.
    static std::string FileFor(const std::string& folder, const std::string& listPath);
    // "<pid> <side> <since>", and back; false for a line that is not one.
    static std::string HolderLine(const CHolder& holder);
    static bool ParseHolder(const std::string& line, CHolder& holder);

    // folder: where the lock files are (empty: none can be had). Takes nothing yet.
    CListLock(std::string folder, const std::string& listPath);
    CListLock(const CListLock&) = delete;
    CListLock& operator=(const CListLock&) = delete;
    // Lets go of the lock.
    ~CListLock();

    // Takes the lock at once if it is free, and writes this process as its holder; never
    // waits. Makes the folder (only its owner may enter it) and the file (only its owner
    // may read it) when they are not there. reason says why for Failed.
    Outcome TryTake(const std::string& side, std::string& reason);
    bool Held() const { return m_fd >= 0; }
    void Release();
    // Who holds the lock now, as its file says; false when it says nothing usable (no one
    // has held it, or the holder is just writing it).
    bool ReadHolder(CHolder& holder) const;
    const std::string& Path() const { return m_strPath; }

private:
    bool MakeFolder(std::string& reason) const;

    const std::string m_strFolder;
    const std::string m_strPath;
    int m_fd = -1;
};
