#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

// One HTTP request over a plain TCP socket on a worker thread, with a small
// result code for a window to poll.
class HTTPTransfer {
public:
    enum Result {
        kFinished = 0,
        kIdle = 1,
        kBusy = 2,
        kNotFound = 3,
        kNotOk = 4,
        kAborted = 5,
        kSocketFailed = 6,
        kLookupFailed = 7,
        kConnectFailed = 8,
        kSendFailed = 9,
    };
    // Host name to IPv4 address (network order); tests replace it.
    using Resolver = std::function<bool(const std::string& host, uint32_t* address)>;

    struct UrlParts {
        std::string protocol;
        std::string host;
        std::string path = "/";
        uint16_t port = 80;
        bool valid = true;
    };
    // "[scheme://]host[:port][/path]"; a port that is not a number from 1 to
    // 65535 makes it invalid.
    static UrlParts SplitUrl(const std::string& url);

    HTTPTransfer();
    virtual ~HTTPTransfer();

    // Sends the request to `url` (the endpoint) and starts reading the answer.
    void Send(const std::string& url, const std::string& request);
    void Abort();
    void Reset();
    void WaitForCompletion();
    int GetResult() const { return mResult.load(); }
    // The response body; read it once the result is final.
    std::string GetContent() const;

    void SetResolver(Resolver resolver) { mResolver = std::move(resolver); }
    // A transfer on which nothing moves for this long fails (6).
    void SetIdleTimeoutMs(int ms) { mIdleTimeoutMs = ms; }

    int mTransferId = 0;
    std::string mProtocol, mHost, mPath;
    uint16_t mPort = 80;

private:
    void Worker(std::string request);
    bool Fail(int result);
    // Waits in 100 ms steps until ready, done or the idle time-out.
    bool WaitFor(int socket, bool readable, bool writable);
    void JoinWorker();

    Resolver mResolver;
    int mIdleTimeoutMs = 30000;
    std::thread mThread;
    std::atomic<bool> mStarted{false};
    std::atomic<bool> mDone{false};
    std::atomic<bool> mAborted{false};
    std::atomic<int> mResult{kIdle};
    mutable std::mutex mContentLock;
    std::string mContent;
    long long mContentLength = 0;
};

extern HTTPTransfer gHTTPTransfer;
