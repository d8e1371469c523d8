#include "core/source/GzipFilter.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace {

constexpr std::size_t InflatedChunk = 64 * 1024;

} // namespace

CGzipFilter::CGzipFilter(CSink& sink, std::size_t maxBytes)
    : m_sink(sink)
    , m_maxBytes(maxBytes)
{
}

CGzipFilter::~CGzipFilter()
{
    if (m_zip)
        inflateEnd(m_zip.get());
}

bool CGzipFilter::Write(const char* data, std::size_t size)
{
    if (m_state != State::Open)
        return false;
    if (size == 0)
        return true;
    if (!m_bStarted) {
        if (m_bHoldingFirst) {
            m_bHoldingFirst = false;
            const char first = m_firstByte;
            return Start(first, data[0]) && Feed(&first, 1) && Feed(data, size);
        }
        if (size == 1) {
            m_firstByte = data[0];
            m_bHoldingFirst = true;
            return true;
        }
        if (!Start(data[0], data[1]))
            return false;
    }
    return Feed(data, size);
}

bool CGzipFilter::Start(char first, char second)
{
    m_bStarted = true;
    if (static_cast<unsigned char>(first) != 0x1F || static_cast<unsigned char>(second) != 0x8B)
        return true;
    m_zip = std::make_unique<z_stream_s>();
    if (inflateInit2(m_zip.get(), 16 + MAX_WBITS) != Z_OK) {
        m_zip.reset();
        m_state = State::Broken;
        return false;
    }
    m_inflated.resize(InflatedChunk);
    return true;
}

bool CGzipFilter::Feed(const char* data, std::size_t size)
{
    return m_zip ? Inflate(data, size) : Pass(data, size);
}

bool CGzipFilter::Pass(const char* data, std::size_t size)
{
    const std::size_t room = m_maxBytes - m_passed;
    const std::size_t taken = std::min(size, room);
    m_passed += taken;
    if (taken > 0 && !m_sink.Take(data, taken)) {
        m_state = State::Declined;
        return false;
    }
    if (taken < size) {
        m_state = State::Full;
        return false;
    }
    return true;
}

bool CGzipFilter::Inflate(const char* data, std::size_t size)
{
    z_stream_s& zip = *m_zip;
    while (size > 0) {
        // A second member after the end of one goes on as the same document.
        if (m_bZipEnded) {
            if (inflateReset(&zip) != Z_OK) {
                m_state = State::Broken;
                return false;
            }
            m_bZipEnded = false;
        }
        const auto piece
            = static_cast<uInt>(std::min<std::size_t>(size, std::numeric_limits<uInt>::max()));
        zip.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        zip.avail_in = piece;
        do {
            zip.next_out = reinterpret_cast<Bytef*>(m_inflated.data());
            zip.avail_out = static_cast<uInt>(m_inflated.size());
            const int result = inflate(&zip, Z_NO_FLUSH);
            if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) {
                m_state = State::Broken;
                return false;
            }
            const std::size_t produced = m_inflated.size() - zip.avail_out;
            if (produced > 0 && !Pass(m_inflated.data(), produced))
                return false;
            if (result == Z_STREAM_END) {
                m_bZipEnded = true;
                break;
            }
            if (result == Z_BUF_ERROR && produced == 0)
                break;
        } while (zip.avail_in > 0 || zip.avail_out == 0);
        const std::size_t used = piece - zip.avail_in;
        data += used;
        size -= used;
        if (used == 0 && !m_bZipEnded)
            break;
    }
    return true;
}

bool CGzipFilter::Finish()
{
    if (m_state != State::Open)
        return m_state != State::Broken;
    if (m_bHoldingFirst) {
        m_bHoldingFirst = false;
        m_bStarted = true;
        const char first = m_firstByte;
        if (!Pass(&first, 1))
            return m_state != State::Broken;
    }
    if (m_zip && !m_bZipEnded) {
        m_state = State::Broken;
        return false;
    }
    return true;
}
