#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

// An HTTP server of the tests' own on 127.0.0.1: it accepts one connection
// (giving up after a few seconds), reads a whole request and answers as told.
class LoopbackServer {
public:
    enum class Behaviour { Answer, CloseAtOnce, Silent };

    LoopbackServer(Behaviour behaviour, std::string answer = "", int connections = 1);
    ~LoopbackServer();

    uint16_t Port() const { return mPort; }
    std::string Endpoint() const { return "127.0.0.1:" + std::to_string(mPort); }
    // The requests received, in order; call after the client is done.
    std::string Requests();
    // Ends the server now (a silent one waits for this).
    void Stop();

private:
    void Run(int connections);

    Behaviour mBehaviour;
    std::string mAnswer;
    int mListener = -1;
    uint16_t mPort = 0;
    std::atomic<bool> mStop{false};
    std::string mRequests;
    std::thread mThread;
};

// The body of a request, and whether its length matches Content-Length.
std::string RequestBody(const std::string& request, bool* lengthMatches = nullptr);

// A crash report's post, spelt out by hand: its boundary, one form field, and
// the head of a request to `host` with a body of `length` bytes.
inline const std::string kReportBoundary = "---------------------------7d3e1f30eec";
std::string FormPart(const std::string& name, const std::string& value);
std::string ReportPostHead(const std::string& host, size_t length);
