#include "data/XmlDocument.h"

#include "core/text/XmlChars.h"
#include "data/FileAccess.h"
#include "data/TextEncoding.h"
#include "data/XmlCheck.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sstream>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

using FileAccess::CFileStamp;
using FileAccess::CFileWriter;
using FileAccess::KeepAside;
using FileAccess::KeepModeOf;
using FileAccess::MayReplace;
using FileAccess::MiB;
using FileAccess::OsReason;
using FileAccess::Reason;
using FileAccess::SizeLimitReason;
using FileAccess::StampOf;
using FileAccess::StampOfPath;
using FileAccess::SyncFolderOf;
using TextEncoding::Windows1252ToUtf8;

// Attribute values are normalised on reading (a literal TAB or line break becomes a
// blank) and pugixml writes those characters as references, so values round-trip.
// Comments and processing instructions are kept only to be counted.
constexpr unsigned ParseOptions
    = pugi::parse_default | pugi::parse_doctype | pugi::parse_comments | pugi::parse_pi;

// Counts what is written and compares it with a text as it goes.
class CCompareWriter : public pugi::xml_writer
{
public:
    explicit CCompareWriter(std::string_view other)
        : m_other(other)
    {
    }
    void write(const void* data, std::size_t size) override
    {
        if (m_bSame)
            m_bSame = m_other.substr(m_size, size)
                == std::string_view(static_cast<const char*>(data), size);
        m_size += size;
    }
    std::uint64_t Size() const { return m_size; }
    bool Same() const { return m_bSame && m_size == m_other.size(); }

private:
    std::string_view m_other;
    std::uint64_t m_size = 0;
    bool m_bSame = true;
};

// How every text SaveFile writes begins.
constexpr std::string_view SavedTextStart = "<?xml version=\"1.0\"?><data";

// Enough of XML's Name rule that nothing written can break the markup around it: ASCII
// letters, digits, "_", ":", "-" and "." (no digit, "-" or "." first), and any well-formed
// character beyond ASCII. By table, as a save names every element and attribute it makes.
enum NameByte : unsigned char
{
    MayStart = 1,
    MayFollow = 2,
};

constexpr std::array<unsigned char, 256> MakeNameBytes()
{
    std::array<unsigned char, 256> bytes{};
    for (int c = 0; c < 256; ++c) {
        const bool start
            = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
        const bool follow = start || (c >= '0' && c <= '9') || c == '-' || c == '.';
        bytes[c] = (start ? MayStart : 0) | (follow ? MayFollow : 0);
    }
    return bytes;
}

constexpr std::array<unsigned char, 256> NameBytes = MakeNameBytes();

bool IsValidName(const std::string& name)
{
    if (name.empty() || !(NameBytes[static_cast<unsigned char>(name[0])] & MayStart))
        return false;
    unsigned char seen = 0;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (!(NameBytes[byte] & MayFollow))
            return false;
        seen |= byte;
    }
    // The ASCII bytes let through are all characters XML allows: only a name beyond ASCII
    // needs decoding.
    return seen < 0x80 || FindBadXmlChar(name) == std::string::npos;
}

// Whether the stored name actual is exactly name. A name holding a NUL matches nothing,
// as no stored name can hold one.
bool NameIs(const char* actual, const std::string& name)
{
    return name.find('\0') == std::string::npos && name == actual;
}

} // namespace

bool CXmlDocument::ReadFile(const std::string& path, std::string& text, std::string& error,
    bool& missing, CFileStamp& stamp)
{
    // Non-blocking, so that a FIFO in the file's place cannot hold the window.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        missing = errno == ENOENT;
        error = OsReason(errno);
        stamp = StampOfPath(path);
        return false;
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0) {
        error = OsReason(errno);
        stamp = StampOfPath(path);
    } else if (stamp = StampOf(info); !stamp.m_bRegular) {
        error = "not a regular file";
    } else if (stamp.m_size > MaxFileSize) {
        error = SizeLimitReason() + " (" + std::to_string(stamp.m_size) + " bytes)";
    } else {
        try {
            // Read to the end, not to the size seen above: the file may have changed since.
            text.resize(static_cast<std::size_t>(stamp.m_size) + 1);
            std::size_t size = 0;
            for (;;) {
                if (size == text.size()) {
                    if (size > MaxFileSize) {
                        error = SizeLimitReason();
                        break;
                    }
                    text.resize(std::min<std::size_t>(size * 2, MaxFileSize + 1));
                }
                const ssize_t got = ::read(fd, text.data() + size, text.size() - size);
                if (got < 0 && errno == EINTR)
                    continue;
                if (got < 0) {
                    error = OsReason(errno);
                    break;
                }
                if (got == 0)
                    break;
                size += static_cast<std::size_t>(got);
            }
            text.resize(size);
        } catch (const std::bad_alloc&) {
            error = OsReason(ENOMEM);
        }
    }
    ::close(fd);
    return error.empty();
}

CXmlDocument::CXmlDocument()
    : m_parentNode(m_doc)
{
}

CXmlDocument::~CXmlDocument() = default;

void CXmlDocument::ResetCursor()
{
    m_childPos = pugi::xml_node();
    m_current = pugi::xml_node();
    m_parentNode = m_doc;
}

bool CXmlDocument::StartFromText(const std::string& text, Check check)
{
    m_strError.clear();
    m_bMissing = false;
    return Parse(text, check);
}

bool CXmlDocument::OpenFile(const std::string& path, Check check)
{
    m_strError.clear();
    m_bMissing = false;
    std::string text;
    ReadFile(path, text, m_strError, m_bMissing, m_stamp);
    return Parse(std::move(text), check);
}

bool CXmlDocument::Parse(std::string text, Check check)
{
    m_strUnchecked.clear();
    const bool parsed = m_strError.empty() && ParseInto(text, check);
    if (!parsed) {
        m_doc.reset();
        m_strUnchecked.clear();
    }
    ResetCursor();
    return parsed;
}

bool CXmlDocument::ParseInto(std::string& text, Check check)
{
    m_doc.reset();
    // No byte order mark and no encoding named: UTF-8, as pugixml reads it by default.
    if (check == Check::Deferred
        && std::string_view(text).substr(0, SavedTextStart.size()) == SavedTextStart) {
        const pugi::xml_parse_result parsed
            = m_doc.load_buffer(text.data(), text.size(), ParseOptions, pugi::encoding_utf8);
        m_strUnchecked = std::move(text);
        if (parsed)
            return true;
        // pugixml gives up on less than a well-formed text does: the reason is the strict
        // check's, unless memory ran out.
        if (FinishCheck(false))
            m_strError = std::string("not well-formed XML: ") + parsed.description();
        return false;
    }
    const XmlCheck::CResult result = XmlCheck::Check(text);
    if (!result.m_strFault.empty()) {
        m_strError = result.m_strFault;
        return false;
    }
    pugi::xml_encoding encoding = pugi::encoding_auto;
    if (result.m_encoding == XmlCheck::Encoding::Latin1) {
        encoding = pugi::encoding_latin1;
    } else if (result.m_encoding == XmlCheck::Encoding::Windows1252) {
        text = Windows1252ToUtf8(text);
        encoding = pugi::encoding_utf8;
    }
    const pugi::xml_parse_result parsed
        = m_doc.load_buffer(text.data(), text.size(), ParseOptions, encoding);
    if (!parsed) {
        // Only when memory runs out, as the check has passed.
        m_strError = std::string("not well-formed XML: ") + parsed.description() + " at byte "
            + std::to_string(parsed.offset);
        return false;
    }
    return true;
}

bool CXmlDocument::FinishCheck(bool knownWellFormed)
{
    if (m_strUnchecked.empty())
        return true;
    const std::string text = std::move(m_strUnchecked);
    m_strUnchecked.clear();
    if (knownWellFormed)
        return true;
    const XmlCheck::CResult result = XmlCheck::Check(text);
    if (result.m_strFault.empty() && result.m_encoding == XmlCheck::Encoding::Detected)
        return true;
    // A text that starts as a saved one names no other encoding, so only a fault is left.
    m_strError = result.m_strFault.empty() ? "not well-formed XML" : result.m_strFault;
    m_doc.reset();
    ResetCursor();
    return false;
}

bool CXmlDocument::SaveFile(const std::string& path)
{
    m_strError.clear();
    m_bMissing = false;
    m_bReplaced = false;
    // A device, FIFO or folder in the file's place (or at the end of a link from it) is
    // not ours to replace, nor is the program itself.
    CFileStamp old;
    if (!MayReplace(path, old, m_strError))
        return false;

    // pugixml's own save_file truncates the old file before writing; a failure half way
    // would lose it. QSaveFile writes beside it and renames over it only when all is
    // written (through a symbolic link it replaces the link's target, so the link keeps
    // working), but Qt 6.4 may still commit after a short write or a failed flush, so
    // every step is checked and the temporary file dropped on the first fault.
    QSaveFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        m_strError = Reason(file, errno);
        return false;
    }
    CFileStamp stamp;
    WriteInto(file, path, stamp);
    // As late as can be, so that nothing is kept aside for a save that fails anyway.
    std::string reason;
    if (m_strError.empty() && old.m_bExists && !m_strBackup.empty()
        && !KeepAside(path, m_strBackup, reason))
        m_strError = "the old file could not be kept as " + m_strBackup + ": " + reason;
    if (!m_strError.empty()) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    if (!file.commit()) {
        m_strError = Reason(file, errno);
        return false;
    }
    m_bReplaced = true;
    m_stamp = stamp;
    if (!SyncFolder(path, reason)) {
        m_strError = "its folder could not be synced: " + reason;
        return false;
    }
    m_bReplaced = false;
    return true;
}

void CXmlDocument::WriteInto(QSaveFile& file, const std::string& path, CFileStamp& stamp)
{
    CFileWriter writer(file, [this](std::uint64_t written) { OnWritten(written); });
    Save(writer);
    bool written = writer.Flush();
    int osError = writer.OsError();
    if (written) {
        errno = 0;
        written = file.flush();
        osError = errno;
    }
    // The next start would refuse a larger file and the save after it lose the list.
    if (writer.TooLarge())
        m_strError = "the list is larger than " + MiB(MaxFileSize);
    else if (!written)
        m_strError = Reason(file, osError);
    else if (::fsync(file.handle()) != 0)
        m_strError = OsReason(errno);
    else
        KeepModeOf(path, file.handle(), m_strError);
    struct stat info = {};
    if (m_strError.empty() && ::fstat(file.handle(), &info) != 0)
        m_strError = OsReason(errno);
    else if (m_strError.empty())
        stamp = StampOf(info);
}

void CXmlDocument::OnWritten(std::uint64_t) { }

bool CXmlDocument::SyncFolder(const std::string& path, std::string& reason)
{
    return SyncFolderOf(path, reason);
}

void CXmlDocument::Save(pugi::xml_writer& writer) const
{
    m_doc.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
}

std::string CXmlDocument::ToText() const
{
    std::ostringstream text;
    pugi::xml_writer_stream writer(text);
    Save(writer);
    return text.str();
}

CXmlDocument::CTextMeasure CXmlDocument::MeasureText(std::string_view other) const
{
    CCompareWriter writer(other);
    Save(writer);
    return {writer.Size(), writer.Same()};
}

bool CXmlDocument::FindElement(const std::string& name)
{
    pugi::xml_node node = m_current ? m_current.next_sibling() : m_parentNode.first_child();
    for (; node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element && NameIs(node.name(), name))
            break;
    }
    if (!node)
        return false;
    m_current = node;
    m_parentNode = node.parent();
    m_childPos = pugi::xml_node();
    return true;
}

bool CXmlDocument::EnterElement()
{
    if (!m_current)
        return false;
    m_parentNode = m_current;
    m_current = m_childPos;
    m_childPos = pugi::xml_node();
    return true;
}

bool CXmlDocument::LeaveElement()
{
    if (!m_parentNode.parent())
        return false;
    m_childPos = m_current;
    m_current = m_parentNode;
    m_parentNode = m_current.parent();
    return true;
}

bool CXmlDocument::AppendElement(const std::string& name)
{
    m_childPos = pugi::xml_node();
    if (!IsValidName(name))
        return false;
    // A document has one root element.
    if (m_parentNode == m_doc && m_doc.document_element())
        return false;

    pugi::xml_node element;
    if (m_current && m_current.next_sibling())
        element = m_parentNode.insert_child_after(pugi::node_element, m_current);
    else
        element = m_parentNode.append_child(pugi::node_element);
    if (!element)
        return false;
    element.set_name(name.c_str());
    m_current = element;
    return true;
}

pugi::xml_attribute CXmlDocument::Attribute(const std::string& name) const
{
    for (pugi::xml_attribute attribute = m_current.first_attribute(); attribute;
         attribute = attribute.next_attribute()) {
        if (NameIs(attribute.name(), name))
            return attribute;
    }
    return pugi::xml_attribute();
}

std::string CXmlDocument::GetAttribute(const std::string& name) const
{
    return Attribute(name).value();
}

bool CXmlDocument::HasAttribute(const std::string& name) const
{
    return !Attribute(name).empty();
}

CXmlDocument::CContents CXmlDocument::CountContents() const
{
    CContents contents;
    // Without recursion: a document may nest a million elements deep.
    pugi::xml_node node = m_doc.first_child();
    while (node) {
        if (node.type() == pugi::node_element) {
            ++contents.m_elements;
            for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute())
                ++contents.m_attributes;
        } else {
            // Text that is only whitespace is not kept.
            contents.m_bOther = true;
        }
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && !node.next_sibling())
            node = node.parent();
        if (node)
            node = node.next_sibling();
    }
    return contents;
}

bool CXmlDocument::SetAttribute(const std::string& name, const std::string& value, bool* replaced)
{
    if (replaced)
        *replaced = false;
    if (!m_current || !IsValidName(name))
        return false;
    pugi::xml_attribute attribute = m_current.attribute(name.c_str());
    if (!attribute)
        attribute = m_current.append_attribute(name.c_str());
    if (!attribute)
        return false;
    // A value XML cannot hold would make a file that no reader accepts.
    if (FindBadXmlChar(value) == std::string::npos)
        return attribute.set_value(value.c_str(), value.size());
    if (replaced)
        *replaced = true;
    const std::string valid = ToXmlChars(value);
    return attribute.set_value(valid.c_str(), valid.size());
}
