#include "LoopbackServer.h"

#include <chrono>

#include "platform/Socket.h"

namespace {

constexpr int kAcceptMs = 15000;
constexpr int kReadMs = 5000;

// The whole request: headers and as many body bytes as Content-Length says.
bool RequestComplete(const std::string& data) {
    size_t end = data.find("\r\n\r\n");
    if (end == std::string::npos) return false;
    size_t at = data.find("Content-Length: ");
    if (at == std::string::npos || at > end) return true;
    return data.size() - (end + 4) >= std::stoul(data.substr(at + 16));
}

}  // namespace

LoopbackServer::LoopbackServer(Behaviour behaviour, std::string answer, int connections)
    : mBehaviour(behaviour), mAnswer(std::move(answer)) {
    mListener = PlatformListenLoopback(&mPort);
    mThread = std::thread(&LoopbackServer::Run, this, connections);
}

LoopbackServer::~LoopbackServer() { Stop(); }

void LoopbackServer::Stop() {
    mStop = true;
    if (mThread.joinable()) mThread.join();
    PlatformCloseSocket(mListener);
    mListener = -1;
}

std::string LoopbackServer::Requests() {
    if (mThread.joinable()) mThread.join();
    return mRequests;
}

void LoopbackServer::Run(int connections) {
    for (int c = 0; c < connections && !mStop; ++c) {
        int client = PlatformAccept(mListener, kAcceptMs);
        if (client < 0) return;
        if (mBehaviour == Behaviour::CloseAtOnce) {
            PlatformCloseSocket(client);
            continue;
        }
        std::string data;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReadMs);
        while (!RequestComplete(data) && std::chrono::steady_clock::now() < deadline && !mStop) {
            if (PlatformWaitSocket(client, true, false, 50) != SocketWait::Ready) continue;
            char buffer[4096];
            long n = PlatformSocketRecv(client, buffer, sizeof buffer);
            if (n <= 0 && n != -2) break;
            if (n > 0) data.append(buffer, static_cast<size_t>(n));
        }
        mRequests += data;
        if (mBehaviour == Behaviour::Silent) {
            while (!mStop) PlatformWaitSocket(client, true, false, 20);
        } else {
            for (size_t sent = 0; sent < mAnswer.size();) {
                long n = PlatformSocketSend(client, mAnswer.data() + sent, mAnswer.size() - sent);
                if (n < 0) break;
                sent += static_cast<size_t>(n);
            }
        }
        PlatformCloseSocket(client);
    }
}

std::string RequestBody(const std::string& request, bool* lengthMatches) {
    size_t end = request.find("\r\n\r\n");
    std::string body = end == std::string::npos ? "" : request.substr(end + 4);
    if (lengthMatches) {
        size_t at = request.find("Content-Length: ");
        *lengthMatches = at != std::string::npos && std::stoul(request.substr(at + 16)) == body.size();
    }
    return body;
}

std::string FormPart(const std::string& name, const std::string& value) {
    return "--" + kReportBoundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value +
           "\r\n";
}

std::string ReportPostHead(const std::string& host, size_t length) {
    return "POST /morlex_error.php HTTP/1.1\r\nContent-Type: multipart/form-data; boundary=" + kReportBoundary +
           "\r\nUser-Agent: Mozilla/4.0 (compatible; tiktap)\r\nHost: " + host +
           "\r\nContent-Length: " + std::to_string(length) + "\r\nConnection: close\r\n\r\n";
}
