#pragma once
#include <cstddef>
#include <string>

// Reads an HTTP/1.x response as it arrives, in pieces of any size, with
// bounded memory: header and chunk-size lines up to kMaxLine bytes, a body up
// to kMaxBody bytes.
class HttpResponseParser {
public:
    static constexpr size_t kMaxLine = 8 * 1024;
    static constexpr size_t kMaxBody = 1024 * 1024;

    // The transfer result codes the response leads to.
    static constexpr int kFinished = 0;
    static constexpr int kNotFound = 3;
    static constexpr int kBadResponse = 4;

    void Feed(const char* data, size_t size);
    // The peer closed the connection.
    void Finish();

    bool Done() const { return mResult >= 0; }
    // kFinished, kNotFound or kBadResponse once Done(); -1 before.
    int Result() const { return mResult; }
    const std::string& Content() const { return mContent; }
    long long ContentLength() const { return mContentLength; }

private:
    enum class Stage { StatusLine, Headers, Body, ChunkSize, ChunkData, ChunkEnd };

    bool TakeLine(std::string& line);
    void HandleHeader(const std::string& line);
    void Append(const char* data, size_t size);
    void Step();

    Stage mStage = Stage::StatusLine;
    std::string mPending;
    std::string mContent;
    long long mContentLength = 0;
    bool mChunked = false;
    size_t mChunkLeft = 0;
    int mResult = -1;
};
