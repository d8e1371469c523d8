#include "data/XmlDocument.h"

#include "data/Utf8.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Attribute values are normalised on reading (a literal TAB or line break becomes a
// blank) and pugixml writes those characters as references, so values round-trip.
constexpr unsigned ParseOptions = pugi::parse_default | pugi::parse_doctype;

std::string OsReason(int error)
{
    return std::strerror(error);
}

class StringWriter : public pugi::xml_writer
{
public:
    explicit StringWriter(std::string& out)
        : m_out(out)
    {
    }
    void write(const void* data, std::size_t size) override
    {
        m_out.append(static_cast<const char*>(data), size);
    }

private:
    std::string& m_out;
};

// "line L, column C" of a byte offset, both counted from 1 (columns in bytes).
std::string Place(const std::string& text, std::size_t offset)
{
    offset = std::min(offset, text.size());
    std::size_t line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(offset - lineStart + 1);
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-16 after its byte order mark, as UTF-8. False on a lone surrogate, a NUL or an odd
// length, with the byte offset of the fault.
bool Utf16ToUtf8(const std::string& in, bool bigEndian, std::string& out, std::size_t& badOffset)
{
    const auto unit = [&](std::size_t i) {
        const auto b0 = static_cast<unsigned char>(in[i]);
        const auto b1 = static_cast<unsigned char>(in[i + 1]);
        return static_cast<char32_t>(bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0));
    };
    out.clear();
    out.reserve(in.size());
    std::size_t i = 2;
    for (; i + 1 < in.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < in.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (c == 0 || (c >= 0xD800 && c <= 0xDFFF)) {
            badOffset = i;
            return false;
        }
        AppendUtf8(out, c);
    }
    badOffset = i;
    return i == in.size();
}

bool IsNameStart(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
}

// Enough of XML's Name rule that nothing written can break the markup around it.
bool IsValidName(const std::string& name)
{
    if (name.empty() || !IsNameStart(static_cast<unsigned char>(name[0])))
        return false;
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (!IsNameStart(c) && !(c >= '0' && c <= '9') && c != '-' && c != '.')
            return false;
    }
    return FindInvalidUtf8(name) == std::string::npos;
}

bool NameIs(const char* actual, const std::string& name)
{
    return std::string_view(actual) == name;
}

// Qt 6.4 gives no reason for some write faults (a full disk, the file-size limit); the
// system's is then still in errno.
std::string Reason(const QSaveFile& file, int osError)
{
    const std::string reason = file.errorString().toStdString();
    if (!reason.empty() && reason != "Unknown error")
        return reason;
    return osError != 0 ? OsReason(osError) : "write failed";
}

// Saving over the program itself would destroy it; hard links and symbolic links count.
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
        reason = "cannot open its folder to sync it: " + OsReason(errno);
        return false;
    }
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    if (!synced)
        reason = "cannot sync its folder: " + OsReason(errno);
    ::close(fd);
    return synced;
}

} // namespace

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

bool CXmlDocument::StartFromText(const std::string& text)
{
    m_strError.clear();
    m_bMissing = false;
    std::string buffer = text;
    return Parse(buffer);
}

bool CXmlDocument::OpenFile(const std::string& path)
{
    m_strError.clear();
    m_bMissing = false;
    m_doc.reset();
    ResetCursor();

    // Non-blocking, so that a FIFO in the file's place cannot hold the window.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        m_bMissing = errno == ENOENT;
        m_strError = OsReason(errno);
        return false;
    }
    std::string buffer;
    struct stat info = {};
    if (::fstat(fd, &info) != 0) {
        m_strError = OsReason(errno);
    } else if (!S_ISREG(info.st_mode)) {
        m_strError = "not a regular file";
    } else if (static_cast<std::uint64_t>(info.st_size) > MaxFileSize) {
        m_strError = "the file is larger than " + std::to_string(MaxFileSize / (1024 * 1024))
            + " MiB (" + std::to_string(info.st_size) + " bytes)";
    } else {
        // Read to the end, not to the size seen above: the file may have changed since.
        buffer.resize(static_cast<std::size_t>(info.st_size) + 1);
        std::size_t filled = 0;
        for (;;) {
            if (filled == buffer.size()) {
                if (buffer.size() > MaxFileSize) {
                    m_strError = "the file is larger than "
                        + std::to_string(MaxFileSize / (1024 * 1024)) + " MiB";
                    break;
                }
                buffer.resize(std::min<std::size_t>(buffer.size() * 2, MaxFileSize + 1));
            }
            const ssize_t got = ::read(fd, buffer.data() + filled, buffer.size() - filled);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                m_strError = OsReason(errno);
                break;
            }
            if (got == 0)
                break;
            filled += static_cast<std::size_t>(got);
        }
        buffer.resize(filled);
    }
    ::close(fd);
    if (!m_strError.empty())
        return false;
    return Parse(buffer);
}

bool CXmlDocument::Parse(std::string& buffer)
{
    const bool parsed = ParseInto(buffer);
    if (!parsed)
        m_doc.reset();
    ResetCursor();
    return parsed;
}

bool CXmlDocument::ParseInto(std::string& buffer)
{
    m_doc.reset();

    // Decode to UTF-8 ourselves: pugixml passes malformed sequences through and stops
    // silently at a NUL byte.
    std::string converted;
    std::size_t bad = std::string::npos;
    if (buffer.size() >= 2
        && (buffer.compare(0, 2, "\xFE\xFF") == 0 || buffer.compare(0, 2, "\xFF\xFE") == 0)) {
        if (!Utf16ToUtf8(buffer, buffer[0] == '\xFE', converted, bad)) {
            m_strError = "not valid UTF-16 at byte " + std::to_string(bad);
            return false;
        }
        buffer.swap(converted);
    } else {
        if (buffer.compare(0, 3, "\xEF\xBB\xBF") == 0)
            buffer.erase(0, 3);
        bad = FindInvalidUtf8(buffer);
        if (bad != std::string::npos) {
            m_strError = buffer[bad] == '\0' ? "NUL character at " : "not valid UTF-8 at ";
            m_strError += Place(buffer, bad);
            return false;
        }
    }

    const pugi::xml_parse_result result
        = m_doc.load_buffer(buffer.data(), buffer.size(), ParseOptions, pugi::encoding_utf8);
    if (result.status == pugi::status_no_document_element) {
        m_strError = "not well-formed XML: no root element";
        return false;
    }
    if (!result) {
        m_strError = std::string("not well-formed XML: ") + result.description() + " at "
            + Place(buffer, static_cast<std::size_t>(result.offset));
        return false;
    }

    // pugixml takes several roots; such a file was not written by us and is better reported
    // than half read. Entities are never expanded, so a document that declares some is
    // refused rather than read with its references left as they stand.
    int roots = 0;
    for (pugi::xml_node node = m_doc.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element) {
            ++roots;
        } else if (node.type() == pugi::node_doctype
            && std::strstr(node.value(), "<!ENTITY") != nullptr) {
            m_strError = "entity declarations are not supported";
        }
    }
    if (m_strError.empty() && roots != 1)
        m_strError = roots == 0 ? "not well-formed XML: no root element"
                                : "not well-formed XML: more than one root element";
    return m_strError.empty();
}

bool CXmlDocument::SaveFile(const std::string& path)
{
    m_strError.clear();
    m_bMissing = false;
    if (IsRunningExecutable(path)) {
        m_strError = "it is the program itself";
        return false;
    }

    const std::string text = ToText();

    // pugixml's own save_file truncates the old file before writing; a failure half way
    // would lose it. QSaveFile writes beside it and renames over it only when all is
    // written, but Qt 6.4 may still commit after a short write or a failed flush, so
    // every step is checked and the temporary file dropped on the first fault.
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        m_strError = "a folder is in the file's place";
        return false;
    }
    QSaveFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        m_strError = Reason(file, errno);
        return false;
    }
    const auto size = static_cast<qint64>(text.size());
    if (file.write(text.data(), size) != size || !file.flush())
        m_strError = Reason(file, errno);
    else if (::fsync(file.handle()) != 0)
        m_strError = OsReason(errno);
    if (!m_strError.empty()) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    if (!file.commit()) {
        m_strError = Reason(file, errno);
        return false;
    }
    return SyncFolderOf(path, m_strError);
}

std::string CXmlDocument::ToText() const
{
    std::string text;
    StringWriter writer(text);
    m_doc.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return text;
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

std::string CXmlDocument::GetAttribute(const std::string& name) const
{
    for (pugi::xml_attribute attribute = m_current.first_attribute(); attribute;
         attribute = attribute.next_attribute()) {
        if (NameIs(attribute.name(), name))
            return attribute.value();
    }
    return std::string();
}

bool CXmlDocument::SetAttribute(const std::string& name, const std::string& value)
{
    if (!m_current || !IsValidName(name))
        return false;
    pugi::xml_attribute attribute = m_current.attribute(name.c_str());
    if (!attribute)
        attribute = m_current.append_attribute(name.c_str());
    // A value that is not UTF-8 would make a file that no reader accepts.
    const std::string valid = ToValidUtf8(value);
    return attribute && attribute.set_value(valid.c_str(), valid.size());
}
