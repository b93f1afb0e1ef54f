#include "crash/HttpResponseParser.h"

#include <cctype>

namespace {

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

std::string Trim(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
    return text.substr(b, e - b);
}

// Digits in `base` only, bounded by `limit`; false on anything else.
bool ParseBounded(const std::string& text, int base, unsigned long long limit, unsigned long long* out) {
    if (text.empty()) return false;
    unsigned long long v = 0;
    for (char c : text) {
        int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                    ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                    : -1;
        if (d < 0) return false;
        v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
        if (v > limit) return false;
    }
    *out = v;
    return true;
}

}  // namespace

void HttpResponseParser::Feed(const char* data, size_t size) {
    if (Done()) return;
    mPending.append(data, size);
    Step();
}

void HttpResponseParser::Finish() {
    if (Done()) return;
    // Reading to the close is the end of a body without a length; anything
    // else cut short is no answer.
    bool complete = mStage == Stage::Body && !mChunked && mContentLength <= 0;
    mResult = complete ? kFinished : kBadResponse;
}

bool HttpResponseParser::TakeLine(std::string& line) {
    size_t end = mPending.find("\r\n");
    if (end == std::string::npos) {
        if (mPending.size() > kMaxLine) mResult = kBadResponse;
        return false;
    }
    if (end > kMaxLine) {
        mResult = kBadResponse;
        return false;
    }
    line = mPending.substr(0, end);
    mPending.erase(0, end + 2);
    return true;
}

void HttpResponseParser::HandleHeader(const std::string& line) {
    if (StartsWith(line, "Transfer-Encoding: ")) {
        mChunked = Trim(line.substr(19)) != "identity";
    } else if (StartsWith(line, "Content-Length: ")) {
        unsigned long long length = 0;
        if (!ParseBounded(Trim(line.substr(16)), 10, kMaxBody, &length)) mResult = kBadResponse;
        else mContentLength = static_cast<long long>(length);
    }
}

void HttpResponseParser::Append(const char* data, size_t size) {
    if (mContent.size() + size > kMaxBody) {
        mResult = kBadResponse;
        return;
    }
    mContent.append(data, size);
}

void HttpResponseParser::Step() {
    std::string line;
    while (!Done()) {
        switch (mStage) {
        case Stage::StatusLine:
            if (!TakeLine(line)) return;
            if (!StartsWith(line, "HTTP/1.") || line.size() < 12) {
                mResult = kBadResponse;
                return;
            }
            if (line.compare(9, 3, "404") == 0) mResult = kNotFound;
            else if (line.compare(9, 3, "200") != 0) mResult = kBadResponse;
            mStage = Stage::Headers;
            break;
        case Stage::Headers:
            if (!TakeLine(line)) return;
            if (line.empty()) mStage = mChunked ? Stage::ChunkSize : Stage::Body;
            else HandleHeader(line);
            break;
        case Stage::Body: {
            if (mPending.empty()) return;
            size_t take = mPending.size();
            if (mContentLength > 0) {
                size_t left = static_cast<size_t>(mContentLength) - mContent.size();
                if (take > left) take = left;
            }
            Append(mPending.data(), take);
            mPending.erase(0, take);
            if (!Done() && mContentLength > 0 && mContent.size() == static_cast<size_t>(mContentLength))
                mResult = kFinished;
            if (mPending.empty()) return;
            break;
        }
        case Stage::ChunkSize: {
            if (!TakeLine(line)) return;
            std::string text = Trim(line);
            size_t ext = text.find(';');
            if (ext != std::string::npos) text = Trim(text.substr(0, ext));
            unsigned long long size = 0;
            bool hex = !text.empty() && text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
            if (!hex || (ParseBounded(text, 16, kMaxBody, &size) && size == 0)) {
                mResult = kFinished;
                return;
            }
            if (size == 0) {  // larger than any body we accept
                mResult = kBadResponse;
                return;
            }
            mChunkLeft = static_cast<size_t>(size);
            mStage = Stage::ChunkData;
            break;
        }
        case Stage::ChunkData: {
            if (mPending.empty()) return;
            size_t take = mPending.size() < mChunkLeft ? mPending.size() : mChunkLeft;
            Append(mPending.data(), take);
            mPending.erase(0, take);
            mChunkLeft -= take;
            if (mChunkLeft == 0) mStage = Stage::ChunkEnd;
            break;
        }
        case Stage::ChunkEnd:
            if (mPending.size() < 2) return;
            mPending.erase(0, 2);
            mStage = Stage::ChunkSize;
            break;
        }
    }
}
