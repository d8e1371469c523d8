#pragma once

#include <cstddef>
#include <memory>
#include <vector>

struct z_stream_s;

// A document's bytes as they arrive, passed on as they are or, when the first two are gzip's
// (1F 8B), inflated piece by piece: whatever the address or the server calls the document,
// the bytes tell. At most maxBytes are passed on; a gzip that inflates further stops there.
class CGzipFilter
{
public:
    // Where the bytes go; Take returns false when it wants no more.
    class CSink
    {
    public:
        virtual bool Take(const char* data, std::size_t size) = 0;

    protected:
        ~CSink() = default;
    };

    enum class State
    {
        Open,
        // maxBytes were passed on and more was there.
        Full,
        // Not gzip after all, or cut short.
        Broken,
        // The sink wanted no more.
        Declined,
    };

    CGzipFilter(CSink& sink, std::size_t maxBytes);
    CGzipFilter(const CGzipFilter&) = delete;
    CGzipFilter& operator=(const CGzipFilter&) = delete;
    ~CGzipFilter();

    // False once no more bytes are wanted; GetState says why.
    bool Write(const char* data, std::size_t size);
    // The input has ended. False when it ended in the middle of a gzip stream, or earlier.
    bool Finish();
    State GetState() const { return m_state; }
    // The bytes passed on so far.
    std::size_t Passed() const { return m_passed; }

private:
    bool Start(char first, char second);
    bool Feed(const char* data, std::size_t size);
    bool Pass(const char* data, std::size_t size);
    bool Inflate(const char* data, std::size_t size);

    CSink& m_sink;
    const std::size_t m_maxBytes;
    std::size_t m_passed = 0;
    State m_state = State::Open;
    // Nothing is passed on until the first two bytes are known; one may come alone.
    bool m_bStarted = false;
    char m_firstByte = 0;
    bool m_bHoldingFirst = false;
    std::unique_ptr<z_stream_s> m_zip;
    bool m_bZipEnded = false;
    std::vector<char> m_inflated;
};
