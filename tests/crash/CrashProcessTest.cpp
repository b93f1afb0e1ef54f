// Real signals: the crash child (and the game with "-crash") run in their own
// processes and must die by the signal after leaving a report behind.
#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <string>
#include <thread>

#include "LoopbackServer.h"
#include "core/FileUtil.h"
#include "platform/FileSystem.h"
#include "platform/ProcessRun.h"

namespace {

constexpr int kRunMs = 20000;
#ifdef QUILTRO7_SANITIZED
constexpr const char* kThrowerNamed = "TerminateWithException()";
#else
constexpr const char* kThrowerNamed = "Throw()";
#endif

class CrashProcess : public ::testing::Test {
protected:
    void SetUp() override {
        mFolder = PlatformMakeTempDirectory("crashtest");
        mUserData = mFolder + "/user/";
        CreateDirectories(mUserData);
    }
    void TearDown() override {
        if (!mFolder.empty()) PlatformRemoveTree(mFolder);
    }

    ProcessOutcome Run(const std::string& program, const std::vector<std::string>& args,
                       const std::string& ui = "auto-close", const std::string& host = "") {
        return PlatformRunProgram(program, args,
                                  {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy", "QUILTRO7_CRASH_UI=" + ui,
                                   "QUILTRO7_CRASH_HOST=" + host, "QUILTRO7_USER_DATA=" + mUserData},
                                  mFolder, kRunMs);
    }

    // The report once the reporter has named its addresses (it runs on after
    // the crashed process is gone); the plain report if it never does.
    std::string WaitForReport(const std::string& path, const std::string& named) {
        std::string text;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            if (ReadFileToString(path, text) && text.find(named) != std::string::npos) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return text;
    }

    std::string mFolder;
    std::string mUserData;
};

void ExpectWholeReport(const std::string& report, const std::string& module, const std::string& firstLine) {
    std::smatch m;
    ASSERT_TRUE(std::regex_search(report, m, std::regex("^" + firstLine + " at address ([0-9A-F]{8,16}) in thread [0-9A-F]+\r\n")))
        << report;
    EXPECT_NE(report.find("RIP:" + m[1].str() + " "), std::string::npos) << report;
    EXPECT_NE(report.find("\r\nModule: " + module + "\r\n"), std::string::npos) << report;
    EXPECT_TRUE(std::regex_search(report, std::regex("\r\nLogical Address: [0-9A-F]{4}:[0-9A-F]{8}")));
    EXPECT_NE(report.find("\r\nFlags:"), std::string::npos);
    EXPECT_NE(report.find("\r\nLinux Ver: Linux "), std::string::npos);
    size_t frames = 0;
    const std::regex frame("\r\n[0-9A-F]{16}  [0-9A-F]{16}  ");
    for (std::sregex_iterator it(report.begin(), report.end(), frame), end;
         it != end; ++it)
        ++frames;
    EXPECT_GE(frames, 1u);
    EXPECT_LE(frames, 128u);
    ASSERT_GE(report.size(), 2u);
    EXPECT_EQ(report.back(), '\n');
    EXPECT_NE(report[report.size() - 2], '\n');  // one line feed past the text, not two
}

TEST_F(CrashProcess, EachFaultDiesByItsSignalAndLeavesItsReport) {
    struct Case {
        const char* trigger;
        const char* signal;
        const char* firstLine;
        const char* module;  // where the fault happened
        const char* named;   // a function the annotated stack names
        const char* also = "\r\n";
    } cases[] = {
        {"segv", "SEGV", "Exception: Access Violation \\(code 0xc0000005\\)", "crash_child", "CrashReporter::CrashOnPurpose()"},
        {"thread", "SEGV", "Exception: Access Violation \\(code 0xc0000005\\)", "crash_child", "CrashReporter::CrashOnPurpose()"},
        {"fpe", "FPE", "Exception: Integer Divide by Zero \\(code 0xc0000094\\)", "crash_child", "DivideByZero()"},
        {"overflow", "SEGV", "Exception: Stack Overflow \\(code 0xc00000fd\\)", "crash_child", "Recurse(int)"},
        // abort() stops inside the C library, built without frame pointers.
        // Throw()'s own return address sits in the C++ library's frame, which
        // keeps no record: a stale record further up names it in the release
        // build, only its caller in the sanitizers' build.
        {"terminate", "ABRT", "Unknown exception: \\(code 0x6\\)", "libc.so.6", kThrowerNamed,
         "\r\nReason: uncaught exception: test terminate reason\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trigger);
        PlatformRemoveFile(mFolder + "/crash.txt");
        ProcessOutcome outcome = Run(QUILTRO7_CRASH_CHILD, {c.trigger});
        EXPECT_TRUE(outcome.signaled);
        EXPECT_EQ(outcome.signal, PlatformSignalNumber(c.signal));
        std::string report = WaitForReport(mFolder + "/crash.txt", c.named);
        ExpectWholeReport(report, c.module, c.firstLine);
        EXPECT_NE(report.find(c.named), std::string::npos) << report;
        EXPECT_NE(report.find(c.also), std::string::npos) << report;
        EXPECT_NE(report.find("\r\n\r\ncrash child session"), std::string::npos);
    }
}

TEST_F(CrashProcess, TheGameCrashesOnPurposeWithDashCrash) {
    ProcessOutcome outcome = Run(QUILTRO7_GAME, {"-crash"});
    EXPECT_TRUE(outcome.signaled);
    EXPECT_EQ(outcome.signal, PlatformSignalNumber("SEGV"));
    std::string report = WaitForReport(mFolder + "/crash.txt", "CrashOnPurpose");
    ExpectWholeReport(report, "quiltro7", "Exception: Access Violation \\(code 0xc0000005\\)");
    EXPECT_NE(report.find("CrashReporter::CrashOnPurpose()"), std::string::npos) << report;
    EXPECT_NE(report.find("PomoAppBase::Init"), std::string::npos) << report;
    EXPECT_NE(report.find("\r\n\r\nGrand Quiltro 7 v1.2"), std::string::npos) << report;
}

TEST_F(CrashProcess, TheReportIsWrittenWhenNoReporterStartsOrTheFolderIsGone) {
    ProcessOutcome outcome = Run(QUILTRO7_CRASH_CHILD, {"nospawn"});
    EXPECT_EQ(outcome.signal, PlatformSignalNumber("SEGV"));
    std::string report;
    ASSERT_TRUE(ReadFileToString(mFolder + "/crash.txt", report));
    ExpectWholeReport(report, "crash_child", "Exception: Access Violation \\(code 0xc0000005\\)");

    outcome = Run(QUILTRO7_CRASH_CHILD, {"nofolder"});
    EXPECT_EQ(outcome.signal, PlatformSignalNumber("SEGV"));
    report = WaitForReport(mUserData + "crash.txt", "CrashOnPurpose");
    ExpectWholeReport(report, "crash_child", "Exception: Access Violation \\(code 0xc0000005\\)");
}

TEST_F(CrashProcess, AFaultWhileReportingEndsTheProcessAtOnce) {
    ProcessOutcome outcome = Run(QUILTRO7_CRASH_CHILD, {"handlerfault"});
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_TRUE(outcome.signaled);
    EXPECT_FALSE(FileExists(mFolder + "/crash.txt"));
}

TEST_F(CrashProcess, TheReporterPostsTheAnnotatedReport) {
    LoopbackServer server(LoopbackServer::Behaviour::Answer, "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
    ProcessOutcome outcome = Run(QUILTRO7_CRASH_CHILD, {"segv"}, "auto-send", server.Endpoint());
    EXPECT_EQ(outcome.signal, PlatformSignalNumber("SEGV"));
    std::string request = server.Requests();
    std::string report;
    ASSERT_TRUE(ReadFileToString(mFolder + "/crash.txt", report));

    size_t headerEnd = request.find("\r\n\r\n");
    ASSERT_NE(headerEnd, std::string::npos) << request;
    std::string body = request.substr(headerEnd + 4);
    EXPECT_EQ(request.substr(0, headerEnd + 4), ReportPostHead(server.Endpoint(), body.size()));
    std::smatch title;
    ASSERT_TRUE(std::regex_search(report, title, std::regex("Logical Address: ([0-9A-F]{4}:[0-9A-F]{8})")));
    EXPECT_EQ(body, FormPart("build", "test") + FormPart("prod", "Grand Quiltro 7") + FormPart("version", "v1.2") +
                        FormPart("usertext", "test user text") +
                        FormPart("errortitle", "Exception at " + title[1].str()) +
                        FormPart("errortext", report.substr(0, report.size() - 1)) + "--" + kReportBoundary +
                        "--\r\n");
    EXPECT_NE(report.find("CrashOnPurpose"), std::string::npos);
}

}  // namespace
