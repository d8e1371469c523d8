#pragma once

#include "data/DataFile.h"
#include "data/DataLocation.h"

#include <QString>

#include <string>

// The target list's file, for the window and the command line alike: where it is read and
// written, what the file was when last read or written (so that a save keeps aside a file the
// list does not hold), and what the user is told of a load or a save.
class CTargetStore
{
public:
    explicit CTargetStore(CDataLocation location);

    struct CLoaded
    {
        // The list was read, or there is none yet (the normal first start).
        bool m_bOk = false;
        TargetRecords m_records;
        // What to tell the user; empty when there is nothing to tell.
        QString m_strMessage;
        std::string m_strPath;
    };
    // The list to edit: the user's own, or a starting list until there is one.
    CLoaded Load();
    // The list to post, never saved over: the one Load would read, or the file given, which
    // must be there.
    CLoaded LoadToPost(const std::string& path = std::string());
    // The list to add to from the command line: the one Load reads, or the file given, which
    // may not be there yet (a new list). SaveTo with the same path (none for the user's own
    // list) writes it back.
    CLoaded LoadToAdd(const std::string& path = std::string());

    struct CSaved
    {
        bool m_bOk = false;
        // What to tell the user; empty when there is nothing to add to a plain success.
        QString m_strMessage;
    };
    // Writes the list where the user's own list is kept, making its folder on the first save.
    CSaved Save(const TargetRecords& records);
    // Writes the list to path, by the same rules; an empty path is where Save writes.
    CSaved SaveTo(const std::string& path, const TargetRecords& records);

    const CDataLocation& Location() const { return m_location; }
    // The file the list was last loaded from or saved to: the list its runs post.
    const std::string& ListPath() const { return m_strListPath; }

private:
    CLoaded Load(const std::string& path, const std::string& savePath, bool sayMissing);

    CDataLocation m_location;
    CDataFile m_file;
    std::string m_strListPath;
};
