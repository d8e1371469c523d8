#include "data/XmlDocument.h"

#include "data/Utf8.h"

#include <QFile>
#include <QSaveFile>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>
#include <utility>
#include <vector>

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

// Passes pugixml's small pieces of output on to the file in large ones, so the text is
// never held whole. After the first failed write, or once the text outgrows what OpenFile
// accepts, the rest is dropped; a write's errno is kept, as Qt does not always give a
// reason.
class FileWriter : public pugi::xml_writer
{
public:
    FileWriter(QSaveFile& file, std::function<void(std::uint64_t)> written)
        : m_file(file)
        , m_written(std::move(written))
    {
        m_buffer.reserve(Capacity);
    }
    void write(const void* data, std::size_t size) override
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
    // Writes what is held back; false if any write failed.
    bool Flush()
    {
        if (!m_buffer.empty())
            WriteOut(m_buffer.data(), m_buffer.size());
        m_buffer.clear();
        return !m_failed;
    }
    int OsError() const { return m_osError; }
    bool TooLarge() const { return m_tooLarge; }

private:
    static constexpr std::size_t Capacity = 256 * 1024;

    void WriteOut(const char* data, std::size_t size)
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

    QSaveFile& m_file;
    std::function<void(std::uint64_t)> m_written;
    std::string m_buffer;
    std::uint64_t m_total = 0;
    std::uint64_t m_done = 0;
    bool m_failed = false;
    bool m_tooLarge = false;
    int m_osError = 0;
};

// "line L, column C" of a byte offset, both counted from 1 (columns in bytes).
std::string Place(std::string_view text, std::size_t offset)
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
bool Utf16ToUtf8(std::string_view in, bool bigEndian, std::string& out, std::size_t& badOffset)
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

// Bytes allowed in a name: StartByte at its start, NameByte anywhere. Every byte above
// 0x7F is allowed here; the sequences they make are checked as UTF-8 afterwards.
constexpr unsigned char StartByte = 1;
constexpr unsigned char NameByte = 2;

constexpr std::array<unsigned char, 256> MakeNameTable()
{
    std::array<unsigned char, 256> table = {};
    for (int c = 0; c < 256; ++c) {
        const bool start
            = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
        const bool inside = start || (c >= '0' && c <= '9') || c == '-' || c == '.';
        table[c] = static_cast<unsigned char>((start ? StartByte : 0) | (inside ? NameByte : 0));
    }
    return table;
}

constexpr std::array<unsigned char, 256> NameTable = MakeNameTable();

// Enough of XML's Name rule that nothing written can break the markup around it.
bool IsValidName(const std::string& name)
{
    if (name.empty() || !(NameTable[static_cast<unsigned char>(name[0])] & StartByte))
        return false;
    unsigned char high = 0;
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (!(NameTable[c] & NameByte))
            return false;
        high |= c;
    }
    return high < 0x80 || FindBadXmlChar(name) == std::string::npos;
}

// Whether the stored name actual is exactly name. A name holding a NUL matches nothing,
// as no stored name can hold one.
bool NameIs(const char* actual, const std::string& name)
{
    const std::size_t size = name.size();
    for (std::size_t i = 0; i < size; ++i) {
        if (actual[i] != name[i] || actual[i] == '\0')
            return false;
    }
    return actual[size] == '\0';
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

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool IsXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsNameChar(char c)
{
    return NameTable[static_cast<unsigned char>(c)] & NameByte;
}

// The encoding named by a declaration at the start of bytes, as written; empty when none.
std::string DeclaredEncoding(std::string_view bytes)
{
    if (bytes.substr(0, 5) != "<?xml" || bytes.size() < 6 || !IsXmlSpace(bytes[5]))
        return std::string();
    const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
    std::size_t i = declaration.find("encoding");
    if (i == std::string_view::npos)
        return std::string();
    i += 8;
    while (i < declaration.size() && IsXmlSpace(declaration[i]))
        ++i;
    if (i >= declaration.size() || declaration[i] != '=')
        return std::string();
    ++i;
    while (i < declaration.size() && IsXmlSpace(declaration[i]))
        ++i;
    if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\''))
        return std::string();
    const std::size_t end = declaration.find(declaration[i], i + 1);
    if (end == std::string_view::npos)
        return std::string();
    return std::string(declaration.substr(i + 1, std::min<std::size_t>(end - i - 1, 40)));
}

// windows-1252's characters for 0x80 to 0x9F; 0 where it has none.
constexpr char16_t Windows1252High[32] = {0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

// A single-byte text as UTF-8; false with the offset of a byte windows-1252 leaves undefined.
bool SingleByteToUtf8(
    std::string_view in, bool windows1252, std::string& out, std::size_t& badOffset)
{
    out.clear();
    out.reserve(in.size() + in.size() / 8);
    for (std::size_t i = 0; i < in.size(); ++i) {
        const auto c = static_cast<unsigned char>(in[i]);
        char32_t code = c;
        if (windows1252 && c >= 0x80 && c <= 0x9F) {
            code = Windows1252High[c - 0x80];
            if (code == 0) {
                badOffset = i;
                return false;
            }
        }
        AppendUtf8(out, code);
    }
    return true;
}

// What pugixml lets through of XML that is not well-formed, or reads differently from
// other tools: several attributes of one name, "<" in an attribute value, undeclared
// entities, a bare "&", references to characters XML does not allow, text outside the
// root, a late declaration, "--" in a comment. One pass, no recursion; wherever the
// markup is broken in another way the scan gives up and leaves the fault to the parser.
struct MarkupFault
{
    std::size_t offset = 0;
    std::string reason; // empty when none was found
};

bool IsXmlChar(std::uint32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF)
        || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// The end of the reference that starts at text[pos] ('&'), or npos with the reason.
std::size_t ReferenceEnd(std::string_view text, std::size_t pos, std::string& reason)
{
    std::size_t i = pos + 1;
    if (i < text.size() && text[i] == '#') {
        const bool hex = ++i < text.size() && text[i] == 'x';
        if (hex)
            ++i;
        const std::size_t digits = i;
        std::uint32_t code = 0;
        for (; i < text.size(); ++i) {
            const char c = text[i];
            std::uint32_t digit = 0;
            if (c >= '0' && c <= '9')
                digit = static_cast<std::uint32_t>(c - '0');
            else if (hex && c >= 'a' && c <= 'f')
                digit = static_cast<std::uint32_t>(c - 'a' + 10);
            else if (hex && c >= 'A' && c <= 'F')
                digit = static_cast<std::uint32_t>(c - 'A' + 10);
            else
                break;
            code = std::min<std::uint32_t>(code * (hex ? 16 : 10) + digit, 0x110000);
        }
        if (i == digits || i >= text.size() || text[i] != ';') {
            reason = "a malformed character reference";
            return std::string_view::npos;
        }
        if (!IsXmlChar(code)) {
            reason = "a reference to a character XML does not allow ("
                + std::string(text.substr(pos, std::min<std::size_t>(i + 1 - pos, 16))) + ")";
            return std::string_view::npos;
        }
        return i + 1;
    }
    const std::size_t name = i;
    while (i < text.size() && IsNameChar(text[i]))
        ++i;
    if (i == name || i >= text.size() || text[i] != ';') {
        reason = "an \"&\" that starts no reference";
        return std::string_view::npos;
    }
    const std::string_view entity = text.substr(name, i - name);
    if (entity != "lt" && entity != "gt" && entity != "amp" && entity != "quot"
        && entity != "apos") {
        reason = "the undeclared entity &"
            + ToXmlChars(entity.substr(0, std::min<std::size_t>(entity.size(), 32))) + ";";
        return std::string_view::npos;
    }
    return i + 1;
}

// The first of a, b or c in text from pos, or npos. Values are long and their markup
// characters few, so they are looked for sixteen bytes at a time.
std::size_t FindFirstOf(std::string_view text, std::size_t pos, char a, char b, char c)
{
    const char* data = text.data();
    const std::size_t size = text.size();
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(a);
    const __m128i vb = _mm_set1_epi8(b);
    const __m128i vc = _mm_set1_epi8(c);
    for (; pos <= size && size - pos >= 16; pos += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
        const __m128i hits
            = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, va), _mm_cmpeq_epi8(chunk, vb)),
                _mm_cmpeq_epi8(chunk, vc));
        const int mask = _mm_movemask_epi8(hits);
        if (mask != 0)
            return pos + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    for (; pos < size; ++pos) {
        const char ch = data[pos];
        if (ch == a || ch == b || ch == c)
            return pos;
    }
    return std::string_view::npos;
}

// The end of a DOCTYPE whose keyword ends at pos, or npos.
std::size_t DoctypeEnd(std::string_view text, std::size_t pos)
{
    bool subset = false;
    for (std::size_t i = pos; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' || c == '\'') {
            i = text.find(c, i + 1);
            if (i == std::string_view::npos)
                return i;
        } else if (subset && text.compare(i, 4, "<!--") == 0) {
            i = text.find("-->", i + 4);
            if (i == std::string_view::npos)
                return i;
            i += 2;
        } else if (c == '[') {
            subset = true;
        } else if (c == ']') {
            subset = false;
        } else if (c == '>' && !subset) {
            return i + 1;
        }
    }
    return std::string_view::npos;
}

// Whether name is already among the attribute names of the tag; a linear search for the
// usual few, a set for a tag with many.
class AttributeNames
{
public:
    void Clear()
    {
        m_names.clear();
        m_set.clear();
    }
    bool Add(std::string_view name)
    {
        if (m_names.size() < 16) {
            for (const std::string_view seen : m_names) {
                if (seen == name)
                    return false;
            }
            m_names.push_back(name);
            if (m_names.size() == 16)
                m_set.insert(m_names.begin(), m_names.end());
            return true;
        }
        return m_set.insert(name).second;
    }

private:
    std::vector<std::string_view> m_names;
    std::unordered_set<std::string_view> m_set;
};

MarkupFault FindMarkupFault(std::string_view text)
{
    constexpr std::size_t npos = std::string_view::npos;
    const auto fault = [](std::size_t offset, const std::string& reason) {
        return MarkupFault{offset, "not well-formed XML: " + reason};
    };
    const std::size_t size = text.size();
    const std::size_t start = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    std::size_t depth = 0;
    bool rootSeen = false;
    const auto outside = [&](std::size_t offset) {
        return fault(
            offset, rootSeen ? "text after the root element" : "text before the root element");
    };
    AttributeNames names;
    std::string reason;
    std::size_t i = start;
    while (i < size) {
        const char c = text[i];
        if (c != '<') {
            if (depth == 0 && !IsXmlSpace(c))
                return outside(i);
            if (c == '&') {
                const std::size_t end = ReferenceEnd(text, i, reason);
                if (end == npos)
                    return fault(i, reason);
                i = end;
            } else if (depth == 0) {
                ++i;
            } else {
                i = std::min(FindFirstOf(text, i, '<', '&', '&'), size);
            }
            continue;
        }
        const char next = i + 1 < size ? text[i + 1] : '\0';
        if (next == '!' && text.compare(i, 4, "<!--") == 0) {
            const std::size_t dashes = text.find("--", i + 4);
            if (dashes == npos)
                return {};
            if (text.compare(dashes, 3, "-->") != 0)
                return fault(dashes, "\"--\" inside a comment");
            i = dashes + 3;
        } else if (next == '!' && text.compare(i, 9, "<![CDATA[") == 0) {
            if (depth == 0)
                return outside(i);
            const std::size_t end = text.find("]]>", i + 9);
            if (end == npos)
                return {};
            i = end + 3;
        } else if (next == '!' && text.compare(i, 9, "<!DOCTYPE") == 0) {
            const std::size_t end = DoctypeEnd(text, i + 9);
            if (end == npos)
                return {};
            // Entities are never expanded: a document that declares some is refused rather
            // than read with its references left as they stand.
            if (text.substr(i, end - i).find("<!ENTITY") != npos)
                return {i, "entity declarations are not supported"};
            i = end;
        } else if (next == '?') {
            const std::size_t end = text.find("?>", i + 2);
            if (end == npos)
                return {};
            std::size_t target = i + 2;
            while (target < end && !IsXmlSpace(text[target]))
                ++target;
            if (i != start && Lower(text.substr(i + 2, target - i - 2)) == "xml")
                return fault(i, "an XML declaration that is not at the start");
            i = end + 2;
        } else if (next == '/') {
            const std::size_t end = text.find('>', i + 2);
            if (end == npos || depth == 0)
                return {};
            --depth;
            i = end + 1;
        } else {
            std::size_t j = i + 1;
            while (j < size && IsNameChar(text[j]))
                ++j;
            if (j == i + 1)
                return {};
            names.Clear();
            bool empty = false;
            for (;;) {
                while (j < size && IsXmlSpace(text[j]))
                    ++j;
                if (j >= size)
                    return {};
                if (text[j] == '>') {
                    ++j;
                    break;
                }
                if (text.compare(j, 2, "/>") == 0) {
                    empty = true;
                    j += 2;
                    break;
                }
                const std::size_t nameStart = j;
                while (j < size && IsNameChar(text[j]))
                    ++j;
                const std::string_view name = text.substr(nameStart, j - nameStart);
                while (j < size && IsXmlSpace(text[j]))
                    ++j;
                if (name.empty() || j >= size || text[j] != '=')
                    return {};
                ++j;
                while (j < size && IsXmlSpace(text[j]))
                    ++j;
                if (j >= size || (text[j] != '"' && text[j] != '\''))
                    return {};
                const char quote = text[j];
                if (!names.Add(name))
                    return fault(nameStart,
                        "the attribute \"" + ToXmlChars(name.substr(0, 64)) + "\" given twice");
                for (j = FindFirstOf(text, j + 1, quote, '<', '&'); j != npos && text[j] != quote;
                     j = FindFirstOf(text, j, quote, '<', '&')) {
                    if (text[j] == '<')
                        return fault(j, "a \"<\" inside an attribute value");
                    const std::size_t end = ReferenceEnd(text, j, reason);
                    if (end == npos)
                        return fault(j, reason);
                    j = end;
                }
                if (j == npos)
                    return {};
                ++j;
            }
            rootSeen = true;
            if (!empty)
                ++depth;
            i = j;
        }
    }
    return {};
}

} // namespace

CXmlDocument::ParseBuffer::ParseBuffer(std::size_t capacity)
    : m_data(static_cast<char*>(pugi::get_memory_allocation_function()(capacity ? capacity : 1)))
    , m_capacity(m_data ? capacity : 0)
{
}

CXmlDocument::ParseBuffer::~ParseBuffer()
{
    if (m_data)
        pugi::get_memory_deallocation_function()(m_data);
}

CXmlDocument::ParseBuffer& CXmlDocument::ParseBuffer::operator=(ParseBuffer&& other) noexcept
{
    std::swap(m_data, other.m_data);
    std::swap(m_size, other.m_size);
    std::swap(m_capacity, other.m_capacity);
    return *this;
}

char* CXmlDocument::ParseBuffer::Release()
{
    char* data = m_data;
    m_data = nullptr;
    m_size = m_capacity = 0;
    return data;
}

bool CXmlDocument::ParseBuffer::Grow(std::size_t capacity)
{
    ParseBuffer bigger(capacity);
    if (!bigger.m_data)
        return false;
    if (m_size > 0)
        std::memcpy(bigger.m_data, m_data, m_size);
    bigger.m_size = m_size;
    *this = std::move(bigger);
    return true;
}

bool CXmlDocument::ReadFile(
    const std::string& path, ParseBuffer& buffer, std::string& error, bool& missing)
{
    // Non-blocking, so that a FIFO in the file's place cannot hold the window.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        missing = errno == ENOENT;
        error = OsReason(errno);
        return false;
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0) {
        error = OsReason(errno);
    } else if (!S_ISREG(info.st_mode)) {
        error = "not a regular file";
    } else if (static_cast<std::uint64_t>(info.st_size) > MaxFileSize) {
        error = SizeLimitReason() + " (" + std::to_string(info.st_size) + " bytes)";
    } else if (!buffer.Grow(static_cast<std::size_t>(info.st_size) + 1)) {
        error = OsReason(ENOMEM);
    } else {
        // Read to the end, not to the size seen above: the file may have changed since.
        for (;;) {
            if (buffer.Size() == buffer.Capacity()) {
                if (buffer.Capacity() > MaxFileSize) {
                    error = SizeLimitReason();
                    break;
                }
                if (!buffer.Grow(std::min<std::size_t>(buffer.Capacity() * 2, MaxFileSize + 1))) {
                    error = OsReason(ENOMEM);
                    break;
                }
            }
            const ssize_t got
                = ::read(fd, buffer.Data() + buffer.Size(), buffer.Capacity() - buffer.Size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                error = OsReason(errno);
                break;
            }
            if (got == 0)
                break;
            buffer.SetSize(buffer.Size() + static_cast<std::size_t>(got));
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

bool CXmlDocument::StartFromText(const std::string& text)
{
    m_strError.clear();
    m_bMissing = false;
    ParseBuffer buffer(text.size());
    if (!buffer.Data()) {
        m_strError = OsReason(ENOMEM);
        return Parse(buffer, nullptr);
    }
    std::memcpy(buffer.Data(), text.data(), text.size());
    buffer.SetSize(text.size());
    return Parse(buffer, [&] { return text; });
}

bool CXmlDocument::OpenFile(const std::string& path)
{
    m_strError.clear();
    m_bMissing = false;
    ParseBuffer buffer;
    if (!ReadFile(path, buffer, m_strError, m_bMissing))
        return Parse(buffer, nullptr);
    // Parsing works in place; a fault's line is counted on a second reading.
    return Parse(buffer, [&] {
        ParseBuffer again;
        std::string ignored;
        bool missing = false;
        ReadFile(path, again, ignored, missing);
        return std::string(again.Data() ? again.Data() : "", again.Size());
    });
}

bool CXmlDocument::Parse(ParseBuffer& buffer, const std::function<std::string()>& source)
{
    const bool parsed = m_strError.empty() && ParseInto(buffer, source);
    if (!parsed)
        m_doc.reset();
    ResetCursor();
    return parsed;
}

bool CXmlDocument::ParseInto(ParseBuffer& buffer, const std::function<std::string()>& source)
{
    m_doc.reset();

    // Check the encoding ourselves: pugixml passes malformed UTF-8 through and stops
    // silently at a NUL byte. Other encodings become UTF-8 first, so that one set of
    // checks sees every file.
    std::string converted;
    std::size_t bad = std::string::npos;
    const std::string_view bytes(buffer.Data(), buffer.Size());
    const auto useConverted = [&] {
        ParseBuffer utf8(converted.size());
        if (!utf8.Data()) {
            m_strError = OsReason(ENOMEM);
            return false;
        }
        std::memcpy(utf8.Data(), converted.data(), converted.size());
        utf8.SetSize(converted.size());
        buffer = std::move(utf8);
        return true;
    };
    if (bytes.substr(0, 2) == "\xFE\xFF" || bytes.substr(0, 2) == "\xFF\xFE") {
        if (!Utf16ToUtf8(bytes, bytes[0] == '\xFE', converted, bad)) {
            m_strError = "not valid UTF-16 at byte " + std::to_string(bad);
            return false;
        }
        if (!useConverted())
            return false;
    } else {
        const std::string encoding = DeclaredEncoding(bytes);
        const std::string name = Lower(encoding);
        if (name == "iso-8859-1" || name == "iso8859-1" || name == "iso_8859-1" || name == "latin1"
            || name == "latin-1" || name == "windows-1252" || name == "cp1252") {
            const bool windows1252 = name == "windows-1252" || name == "cp1252";
            if (!SingleByteToUtf8(bytes, windows1252, converted, bad)) {
                m_strError = "not valid " + encoding + " at " + Place(bytes, bad);
                return false;
            }
            if (!useConverted())
                return false;
        } else if (!name.empty() && name != "utf-8" && name != "utf8" && name != "us-ascii"
            && name != "ascii") {
            m_strError = "unsupported encoding \"" + ToXmlChars(encoding) + "\"";
            return false;
        }
    }
    const std::string_view text(buffer.Data(), buffer.Size());
    bad = FindBadXmlChar(text);
    if (bad != std::string::npos) {
        const auto c = static_cast<unsigned char>(text[bad]);
        if (c == 0)
            m_strError = "NUL character at ";
        else if (c < 0x20)
            m_strError = "control character " + std::to_string(c) + " at ";
        else if (text.substr(bad, 2) == "\xEF\xBF" && text.size() > bad + 2
            && static_cast<unsigned char>(text[bad + 2]) >= 0xBE)
            m_strError = "a character XML does not allow at ";
        else
            m_strError = "not valid UTF-8 at ";
        m_strError += Place(text, bad);
        return false;
    }
    const MarkupFault fault = FindMarkupFault(text);
    if (!fault.reason.empty()) {
        m_strError = fault.reason + " at " + Place(text, fault.offset);
        return false;
    }

    const std::size_t size = buffer.Size();
    const pugi::xml_parse_result result
        = m_doc.load_buffer_inplace_own(buffer.Release(), size, ParseOptions, pugi::encoding_utf8);
    if (result.status == pugi::status_no_document_element) {
        m_strError = "not well-formed XML: no root element";
        return false;
    }
    if (!result) {
        m_strError = std::string("not well-formed XML: ") + result.description();
        const std::string text = converted.empty() && source ? source() : converted;
        m_strError += " at " + Place(text, static_cast<std::size_t>(result.offset));
        return false;
    }

    // pugixml takes several roots; such a file was not written by us and is better reported
    // than half read. The scan above refuses entity declarations; this stays in case it
    // gave up before the DOCTYPE's end.
    int roots = 0;
    for (pugi::xml_node node = m_doc.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element) {
            ++roots;
        } else if (node.type() == pugi::node_doctype
            && std::strstr(node.value(), "<!ENTITY") != nullptr) {
            m_strError = "entity declarations are not supported";
        }
    }
    if (m_strError.empty() && roots > 1)
        m_strError = "not well-formed XML: more than one root element";
    return m_strError.empty();
}

bool CXmlDocument::SaveFile(const std::string& path)
{
    m_strError.clear();
    m_bMissing = false;
    m_bReplaced = false;
    if (IsRunningExecutable(path)) {
        m_strError = "it is the program itself";
        return false;
    }

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
    FileWriter writer(file, [this](std::uint64_t written) { OnWritten(written); });
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
    std::string reason;
    if (!SyncFolder(path, reason)) {
        m_strError = "its folder could not be synced: " + reason;
        return false;
    }
    m_bReplaced = false;
    return true;
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
    std::string text;
    StringWriter writer(text);
    Save(writer);
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
    if (!attribute)
        return false;
    // A value that is not UTF-8, or holds a character XML does not allow (even as a
    // reference), would make a file that no reader accepts.
    if (FindBadXmlChar(value) == std::string::npos)
        return attribute.set_value(value.c_str(), value.size());
    const std::string valid = ToXmlChars(value);
    return attribute.set_value(valid.c_str(), valid.size());
}
