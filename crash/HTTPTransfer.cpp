#include "crash/HTTPTransfer.h"

#include <chrono>

#include "crash/HttpResponseParser.h"
#include "platform/Socket.h"

HTTPTransfer gHTTPTransfer;

namespace {

std::atomic<int> gNextTransferId{1};
constexpr int kWaitStepMs = 100;

}  // namespace

HTTPTransfer::UrlParts HTTPTransfer::SplitUrl(const std::string& url) {
    UrlParts parts;
    size_t start = 0;
    size_t slashes = url.find("//");
    if (slashes != std::string::npos) {
        parts.protocol = url.substr(0, slashes > 0 ? slashes - 1 : 0);
        start = slashes + 2;
    }
    size_t slash = url.find('/', start);
    parts.host = url.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (slash != std::string::npos) parts.path = url.substr(slash);
    size_t colon = parts.host.find(':');
    if (colon != std::string::npos) {
        std::string digits = parts.host.substr(colon + 1);
        parts.host.resize(colon);
        unsigned long port = 0;
        bool ok = !digits.empty() && digits.size() <= 5 &&
                  digits.find_first_not_of("0123456789") == std::string::npos;
        if (ok) port = std::stoul(digits);
        parts.valid = ok && port >= 1 && port <= 65535;
        parts.port = parts.valid ? static_cast<uint16_t>(port) : 80;
    }
    if (parts.host.empty()) parts.valid = false;
    return parts;
}

HTTPTransfer::HTTPTransfer() : mTransferId(gNextTransferId++), mResolver(PlatformResolveIPv4) {}

HTTPTransfer::~HTTPTransfer() {
    Abort();
    JoinWorker();
}

void HTTPTransfer::JoinWorker() {
    if (mThread.joinable()) mThread.join();
}

void HTTPTransfer::Abort() {
    mAborted = true;
    mDone = true;
}

void HTTPTransfer::Reset() {
    if (mStarted || mThread.joinable()) {
        Abort();
        JoinWorker();
    }
    mTransferId = gNextTransferId++;
    mResult = kIdle;
    mDone = false;
    mAborted = false;
    std::lock_guard<std::mutex> lock(mContentLock);
    mContent.clear();
    mPath.clear();
}

void HTTPTransfer::WaitForCompletion() { JoinWorker(); }

std::string HTTPTransfer::GetContent() const {
    std::lock_guard<std::mutex> lock(mContentLock);
    return mContent;
}

void HTTPTransfer::Send(const std::string& url, const std::string& request) {
    Reset();
    mTransferId = gNextTransferId++;
    UrlParts parts = SplitUrl(url);
    mProtocol = parts.protocol;
    mHost = parts.host;
    mPath = parts.path;
    mPort = parts.port;
    mContentLength = 0;
    mResult = kBusy;
    mStarted = true;
    if (!parts.valid) {
        Fail(kLookupFailed);
        mStarted = false;
        return;
    }
    // The worker always runs: the result must come to an end whoever waits.
    mThread = std::thread(&HTTPTransfer::Worker, this, request);
}

bool HTTPTransfer::Fail(int result) {
    int busy = kBusy;
    mResult.compare_exchange_strong(busy, result);
    mDone = true;
    return false;
}

bool HTTPTransfer::WaitFor(int socket, bool readable, bool writable) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(mIdleTimeoutMs);
    while (!mDone) {
        SocketWait w = PlatformWaitSocket(socket, readable, writable, kWaitStepMs);
        if (w == SocketWait::Error) return Fail(kSocketFailed);
        if (w == SocketWait::Ready) return true;
        if (std::chrono::steady_clock::now() >= deadline) return Fail(kSocketFailed);
    }
    return true;
}

void HTTPTransfer::Worker(std::string request) {
    int socket = PlatformTcpSocket();
    if (socket < 0) Fail(kSocketFailed);

    uint32_t address = 0;
    if (!mDone && !PlatformParseIPv4(mHost, &address) && !mResolver(mHost, &address)) Fail(kLookupFailed);

    if (!mDone) {
        ConnectStart start = PlatformConnect(socket, address, mPort);
        if (start == ConnectStart::Failed) Fail(kConnectFailed);
        else if (start == ConnectStart::InProgress && WaitFor(socket, false, true) && !mDone &&
                 PlatformConnectError(socket) != 0)
            Fail(kConnectFailed);
    }

    size_t sent = 0;
    while (!mDone && sent < request.size()) {
        if (!WaitFor(socket, false, true) || mDone) break;
        long n = PlatformSocketSend(socket, request.data() + sent, request.size() - sent);
        if (n < 0) Fail(kSendFailed);
        else sent += static_cast<size_t>(n);
    }

    HttpResponseParser parser;
    char buffer[256];
    bool answered = false;
    while (!mDone && !parser.Done()) {
        if (!WaitFor(socket, true, false) || mDone) break;
        long n = PlatformSocketRecv(socket, buffer, sizeof buffer);
        if (n == -2) continue;
        if (n > 0) {
            answered = true;
            parser.Feed(buffer, static_cast<size_t>(n));
        } else if (!answered) {
            // Closed or reset before a byte of answer: the request was not taken.
            Fail(kSendFailed);
        } else {
            parser.Finish();
        }
    }

    PlatformCloseSocket(socket);
    {
        std::lock_guard<std::mutex> lock(mContentLock);
        mContent = parser.Content();
    }
    mContentLength = parser.ContentLength();
    if (mAborted) mResult = kAborted;
    else if (parser.Done()) Fail(parser.Result());
    mDone = true;
    mStarted = false;
}
