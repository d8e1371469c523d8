#pragma once

#include "data/FileAccess.h"

#include <pugixml.hpp>

class QSaveFile;

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

// A document with a cursor that reads and builds one level at a time.
//
// The cursor stands among the children of m_parentNode (the document itself at the top
// level) on m_current, or before the first child when m_current is empty. m_childPos
// remembers where the cursor stood one level below when LeaveElement came up from there,
// so that EnterElement resumes after that child. Only elements are ever current: text,
// comments and processing instructions are passed over.
//
// Nothing throws. Open, parse and save failures return false with a readable reason in
// LastError(); OpenFile tells a missing file (FileMissing) from one that exists but is
// unreadable, too large or not well-formed, so that a caller can stay silent for the
// first and warn for the rest.
class CXmlDocument
{
public:
    static constexpr std::uint64_t MaxFileSize = FileAccess::MaxFileSize;

    CXmlDocument();
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;
    virtual ~CXmlDocument();

    // When a text is checked for well-formedness. Deferred: a text that begins as the ones
    // SaveFile writes is parsed at once and checked only by FinishCheck, which a caller may
    // spare when the text turns out to be exactly one written by the program itself, as
    // such a text is well-formed by construction. Any other text is checked at once.
    enum class Check
    {
        Now,
        Deferred,
    };

    // Replace the document by the parsed text. On failure the document is empty.
    // Either way the cursor stands at the top level with no current element.
    bool StartFromText(const std::string& text, Check check = Check::Now);
    bool OpenFile(const std::string& path, Check check = Check::Now);
    // The text whose check was deferred; empty when none is.
    std::string_view UncheckedText() const { return m_strUnchecked; }
    // Ends a deferred check: unless the caller knows the text to be well-formed, it is
    // checked now, and on a fault the document is emptied with the reason in LastError().
    // True when no check is pending.
    bool FinishCheck(bool knownWellFormed);
    // Replaces the file at path atomically; the old file stays as it was on any failure
    // but one: see FileReplaced(). Text longer than MaxFileSize is refused, as OpenFile
    // would refuse the file, and so is a path that is, or links to, anything but a regular
    // file. Through a link to a file, the link's target is replaced and the link kept.
    bool SaveFile(const std::string& path);
    // The next SaveFile first keeps the file it replaces as backup (an older backup is
    // replaced in one step); if that fails, nothing is saved. Empty for no backup.
    void KeepReplacedFileAs(std::string backup) { m_strBackup = std::move(backup); }
    // The bytes SaveFile writes: UTF-8, the declaration, no whitespace between elements.
    std::string ToText() const;
    // The size of those bytes, and whether they are exactly other, without holding them.
    struct CTextMeasure
    {
        std::uint64_t m_size = 0;
        bool m_bSame = false;
    };
    CTextMeasure MeasureText(std::string_view other) const;

    bool FindElement(const std::string& name);
    bool EnterElement();
    bool LeaveElement();
    bool AppendElement(const std::string& name);
    std::string GetAttribute(const std::string& name) const;
    bool HasAttribute(const std::string& name) const;
    // A value that is not UTF-8, or holds a character XML does not allow (even as a
    // reference), is stored with U+FFFD in place of each such sequence; replaced, when
    // given, tells whether it was.
    bool SetAttribute(const std::string& name, const std::string& value, bool* replaced = nullptr);

    // What the whole document holds, to tell whether a reader took all of it: its elements
    // and attributes, and whether it holds anything else (comments, processing
    // instructions, a document type, CDATA sections, text other than whitespace).
    struct CContents
    {
        std::uint64_t m_elements = 0;
        std::uint64_t m_attributes = 0;
        bool m_bOther = false;
    };
    CContents CountContents() const;

    // Why the last OpenFile, StartFromText or SaveFile failed; empty after success.
    const std::string& LastError() const { return m_strError; }
    // The last OpenFile found no file at the path.
    bool FileMissing() const { return m_bMissing; }
    // The last SaveFile failed only after the new file had taken the old one's place: its
    // folder could not be synced, so the rename may not survive a crash.
    bool FileReplaced() const { return m_bReplaced; }
    // What the file at the path of the last OpenFile, or the file the last SaveFile wrote,
    // was at that moment.
    const FileAccess::CFileStamp& Stamp() const { return m_stamp; }

protected:
    // Fault injection for tests. SaveFile calls OnWritten after each piece it hands to the
    // file, with the bytes written so far, and SyncFolder once the file is in place.
    virtual void OnWritten(std::uint64_t written);
    virtual bool SyncFolder(const std::string& path, std::string& reason);

private:
    static bool ReadFile(const std::string& path, std::string& text, std::string& error,
        bool& missing, FileAccess::CFileStamp& stamp);
    // Checks and parses text unless an error is already set.
    bool Parse(std::string text, Check check);
    bool ParseInto(std::string& text, Check check);
    void ResetCursor();
    // The current element's attribute of exactly that name; empty when there is none.
    pugi::xml_attribute Attribute(const std::string& name) const;
    // The text of SaveFile and ToText.
    void Save(pugi::xml_writer& writer) const;
    // Writes the text into the new file and makes it last on the disk, with the old file's
    // mode; m_strError says why not. stamp: the new file's, once written.
    void WriteInto(QSaveFile& file, const std::string& path, FileAccess::CFileStamp& stamp);

    pugi::xml_document m_doc;
    pugi::xml_node m_parentNode;
    pugi::xml_node m_current;
    pugi::xml_node m_childPos;

    std::string m_strError;
    std::string m_strBackup;
    std::string m_strUnchecked;
    FileAccess::CFileStamp m_stamp;
    bool m_bMissing = false;
    bool m_bReplaced = false;
};
