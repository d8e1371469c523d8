#pragma once

#include "data/FileAccess.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CSubmitHost;
class CXmlDocument;

using TargetRecords = std::vector<std::shared_ptr<CSubmitHost>>;

// The data file's path inside the folder it is kept in (CDataLocation decides which).
std::string DataFilePath(const std::string& folder);

struct CTargetsRead
{
    // The root is "data"; when not, nothing was read.
    bool m_bTargetList = false;
    // The records hold all the document does: it has nothing a save would drop.
    bool m_bHoldsAll = false;
    // More: the document is of the very shape a save of the records builds, every
    // attribute given and every text one a save writes unchanged.
    bool m_bSavedShape = false;
};

// Appends every target of an opened document to records in file order: the "Host"
// children of the root "data", each with its "param" children.
CTargetsRead ReadTargets(CXmlDocument& doc, TargetRecords& records);

// What a save of the records read from doc would be, against the text they were read from.
struct CSaveOfRead
{
    // The text passed the check doc deferred, or needed none: a text that is exactly what
    // a save of the records writes is well-formed by construction.
    bool m_bWellFormed = false;
    // A save would write the very text read.
    bool m_bSame = false;
    // The size a save would write.
    std::uint64_t m_size = 0;
};
CSaveOfRead CompareWithSave(
    CXmlDocument& doc, const TargetRecords& records, const CTargetsRead& read);

// The size a save of records writes, counted without writing it. For records read from a
// document, whose texts hold only characters a save writes as they are.
std::uint64_t SavedSize(const TargetRecords& records);

// Starts doc anew with the declaration and writes one "Host" per record, in order; null
// records are skipped. Returns the positions of the records with a text the document
// cannot hold (a control character, bytes that are not UTF-8), which it holds with
// U+FFFD in their place.
std::vector<std::size_t> WriteTargets(CXmlDocument& doc, const TargetRecords& records);

// What became of a load or a save, for the window to put into words.
struct CDataFileOutcome
{
    bool m_bOk = false;
    // Load: there is no file at the path, which is no fault.
    bool m_bMissing = false;
    // Why it is not ok.
    std::string m_strReason;
    // Save: it failed only after the new file had taken the old one's place.
    bool m_bReplaced = false;
    // Save: where the file it replaced was kept. Load: where the next save will keep the
    // file, as the list does not hold all it holds.
    std::string m_strBackupPath;
    // Load: the targets read, in file order.
    TargetRecords m_records;
    // Save: the URLs of the first few targets whose texts were saved with U+FFFD in place
    // of characters a data file cannot hold, and how many targets that was in all.
    std::vector<std::string> m_alteredUrls;
    std::size_t m_alteredCount = 0;
};

// Loads and saves the target list, and remembers for each path what the file there was
// when the program last read or wrote it. A save that would replace a file whose content
// the list does not hold (refused on load, holding more than the list, or changed by
// another program since) keeps it aside as "<name>.bak" first.
class CDataFile
{
public:
    CDataFileOutcome Load(const std::string& path);
    CDataFileOutcome Save(const std::string& path, const TargetRecords& records);

    static std::string BackupPath(const std::string& path) { return path + ".bak"; }
    static constexpr std::size_t AlteredUrlsShown = 3;

private:
    struct CKnown
    {
        FileAccess::CFileStamp m_stamp;
        // The list as loaded or saved holds everything the file does.
        bool m_bListHoldsAll = false;
    };

    std::map<std::string, CKnown> m_known;
};
