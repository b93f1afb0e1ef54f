#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "crash/CrashReport.h"
#include "crash/ReportAnnotation.h"
#include "crash/ReporterFlow.h"
#include "crash/SafeFormat.h"

namespace {

template <typename... Args>
void ExpectLikeSnprintf(size_t size, const char* format, Args... args) {
    char mine[256], theirs[256];
    size_t n = SafeFormat(mine, size, format, args...);
    std::snprintf(theirs, size, format, args...);
    EXPECT_STREQ(mine, theirs) << format;
    EXPECT_EQ(n, std::strlen(theirs)) << format;
}

TEST(SafeFormat, AgreesWithSnprintfAndCutsAtTheBuffer) {
    ExpectLikeSnprintf(256, "%08X|%x|%X|%04X", 0x1234u, 0xc0000005u, 0xABCDEFu, 7u);
    ExpectLikeSnprintf(256, "%016llX %llx %llu", 0x55D0DEADBEEFULL, ~0ULL, 18446744073709551615ULL);
    ExpectLikeSnprintf(256, "%d %d %5d|%-5d|%05d %ld", 0, -42, 42, 42, -42, -1234567890123L);
    ExpectLikeSnprintf(256, "%s|%10s|%-10s|%c|%%", "abc", "right", "left", 'z');
    ExpectLikeSnprintf(256, "%d %d", -2147483647 - 1, 2147483647);
    // Cut short, the text still ends and the count is of what was written.
    char out[8];
    EXPECT_EQ(SafeFormat(out, sizeof out, "%s and more", "truncated"), 7u);
    EXPECT_STREQ(out, "truncat");
}

TEST(CrashReport, ExceptionLineNamesTheCodeInLowerCaseAndAddressesInUpperCase) {
    char buffer[256];
    SafeText text(buffer, sizeof buffer);
    AppendExceptionLine(text, 0xC0000005, 0x55d0deadbeefULL, 0x1a2b);
    EXPECT_STREQ(buffer, "Exception: Access Violation (code 0xc0000005) at address 000055D0DEADBEEF in thread 1A2B\r\n");
    SafeText unknown(buffer, sizeof buffer);
    AppendExceptionLine(unknown, 6, 0x10, 1);
    EXPECT_STREQ(buffer, "Unknown exception: (code 0x6) at address 0000000000000010 in thread 1\r\n");
    EXPECT_EQ(ExceptionCodeFor(CrashKind::IntDivideByZero, 8), 0xC0000094u);
    EXPECT_STREQ(FindExceptionName(ExceptionCodeFor(CrashKind::StackOverflow, 11)), "Stack Overflow");
}

TEST(CrashReport, LogicalAddressTakesTheSegmentWithBothEndsIncluded) {
    static CrashModules modules;
    modules.count = 2;
    modules.modules[0] = {"/usr/bin/game", 0x10000, 2, {{0x0, 0x100, 0x80}, {0x1000, 0x10, 0x200}}};
    modules.modules[1] = {"/lib/libc.so.6", 0x900000, 1, {{0x0, 0x50, 0x50}}};
    struct Case {
        uint64_t address;
        const char* module;
        uint32_t section;
        uint64_t offset;
    } cases[] = {
        {0x10000, "game", 1, 0x0},      {0x10100, "game", 1, 0x100},  // filesz wins, end included
        {0x11200, "game", 2, 0x200},    {0x900050, "libc.so.6", 1, 0x50},
        {0x11201, nullptr, 0, 0},       {0x5, nullptr, 0, 0},
    };
    for (const Case& c : cases) {
        LogicalAddress at = GetLogicalAddress(modules, c.address);
        EXPECT_STREQ(at.modulePath ? FileNamePart(at.modulePath) : nullptr, c.module) << std::hex << c.address;
        EXPECT_EQ(at.section, c.section) << std::hex << c.address;
        EXPECT_EQ(at.offset, c.offset) << std::hex << c.address;
    }
    EXPECT_STREQ(FileNamePart("C:\\games/x\\quiltro7.exe"), "quiltro7.exe");
}

// A fabricated stack: word i lives at kBase + 8 * i.
constexpr uint64_t kBase = 0x7000;
struct FakeStack {
    std::vector<uint64_t> words = std::vector<uint64_t>(64, 0);
    void Frame(int at, uint64_t next, uint64_t ret) {
        words[at] = next;
        words[at + 1] = ret;
    }
    static bool Read(uint64_t address, uint64_t* value, void* self) {
        auto& words = static_cast<FakeStack*>(self)->words;
        uint64_t i = (address - kBase) / 8;
        if (address < kBase || i >= words.size()) return false;
        *value = words[i];
        return true;
    }
    std::vector<uint64_t> Walk(uint64_t fp, int cap = kMaxStackFrames) {
        StackFrame frames[kMaxStackFrames];
        int n = WalkFramePointers(0xAAA, fp, kBase, kBase + 8 * words.size(), Read, this, frames, cap);
        std::vector<uint64_t> pcs;
        for (int i = 0; i < n; ++i) pcs.push_back(frames[i].pc);
        return pcs;
    }
};

TEST(CrashReport, FrameWalkStopsAtTheFirstBadFrame) {
    auto at = [](int word) { return kBase + 8 * static_cast<uint64_t>(word); };
    FakeStack good;
    good.Frame(2, at(10), 0xB1);
    good.Frame(10, at(20), 0xB2);
    good.Frame(20, 0, 0xB3);  // the chain's end
    EXPECT_EQ(good.Walk(at(2)), (std::vector<uint64_t>{0xAAA, 0xB1, 0xB2}));
    EXPECT_EQ(good.Walk(at(2), 2), (std::vector<uint64_t>{0xAAA, 0xB1}));

    // A next frame that is misaligned, lower down or outside the stack.
    for (uint64_t next : {at(20) + 4, at(4), at(100)}) {
        FakeStack bad = good;
        bad.Frame(10, next, 0xB2);
        EXPECT_EQ(bad.Walk(at(2)), (std::vector<uint64_t>{0xAAA, 0xB1})) << std::hex << next;
    }
    EXPECT_EQ(good.Walk(at(200)), (std::vector<uint64_t>{0xAAA}));  // never reads outside

    // Where the chain breaks, the walk goes on from the next frame record up
    // the stack.
    static CrashModules code;
    code.count = 1;
    code.modules[0] = {"/bin/game", 0, 2, {{0x0, 0x100, 0x100, false}, {0xC000, 0x1000, 0x1000, true}}};
    FakeStack scanned;
    scanned.words[1] = 0x50;  // data
    scanned.words[3] = 5;     // no frame pointer ...
    scanned.words[4] = 0xC010;  // ... below this return address
    scanned.Frame(6, at(10), 0xC020);
    scanned.Frame(10, at(20), 0xC030);
    scanned.Frame(20, 3, 0xC040);  // broken again
    scanned.Frame(30, at(40), 0xC050);
    scanned.Frame(40, 0, 0x50);
    StackFrame frames[8];
    int n = WalkStack(0xAAA, 3, at(0), kBase, kBase + 8 * 64, code, FakeStack::Read, &scanned, frames, 8);
    std::vector<uint64_t> pcs;
    for (int i = 0; i < n; ++i) pcs.push_back(frames[i].pc);
    EXPECT_EQ(pcs, (std::vector<uint64_t>{0xAAA, 0xC020, 0xC030, 0xC050}));

    FakeStack loop;  // a long chain is cut at the cap
    for (int i = 0; i + 3 < 64; i += 2) loop.Frame(i, at(i + 2), 0xC0 + i);
    EXPECT_EQ(loop.Walk(at(0), 5).size(), 5u);
}

TEST(CrashReport, ReportHasItsSectionsInOrder) {
    static CrashModules modules;
    modules.count = 1;
    modules.modules[0] = {"/opt/quiltro7", 0x400000, 1, {{0x1000, 0x5000, 0x5000}}};
    CrashMachineState state;
    state.signal = 11;
    state.kind = CrashKind::AccessViolation;
    state.pc = 0x401234;
    state.threadId = 0x2a;
    state.regs.present = true;
    state.regs.rip = 0x401234;
    state.regs.rsp = 0x7ffc0;
    state.regs.rbp = 0x7ffd0;
    state.regs.cs = 0x33;
    state.regs.flags = 0x10246;
    CrashReportExtras extras;
    extras.systemInfo = "Linux Ver: test\r\n";
    extras.sessionInfo = "session";
    static char out[8192];
    char title[64];
    size_t n = FormatCrashReport(state, modules, extras, out, sizeof out, title, sizeof title);
    std::string report(out, n);
    EXPECT_STREQ(title, "Exception at 0001:00000234");
    const char* inOrder[] = {
        "Exception: Access Violation (code 0xc0000005) at address 0000000000401234 in thread 2A\r\n",
        "Module: quiltro7\r\nLogical Address: 0001:00000234\r\n\r\n",
        "0000000000401234  0000000000000000  0001:00000234 quiltro7\r\n\r\n",
        "RIP:0000000000401234 RSP:000000000007FFC0  RBP:000000000007FFD0\r\n",
        "CS:0033 FS:0000 GS:0000\r\nFlags:00010246\r\n\r\n",
        "Linux Ver: test\r\n\r\nsession",
    };
    size_t from = 0;
    for (const char* part : inOrder) {
        size_t at = report.find(part, from);
        ASSERT_NE(at, std::string::npos) << part << "\nin\n" << report;
        from = at + std::strlen(part);
    }
}

// Stands in for a crash in code without frame pointers under a frame with
// locals: the walk finds no chain and scans the stack above the stack
// pointer word by word, over the guard zones the address sanitizer keeps
// around those locals in its build. It must read them as the words they are.
__attribute__((noinline)) std::string ReportOverGuardedLocals() {
    volatile char guarded[24];
    guarded[0] = 1;
    static CrashModules modules;  // no code anywhere: the scan reads to the end
    CrashMachineState state;
    state.signal = 6;
    state.kind = CrashKind::Abort;
    state.pc = 0x401234;
    state.sp = reinterpret_cast<uint64_t>(&guarded[0]) & ~uint64_t(7);
    state.fp = 3;  // the register held something else
    state.stackLow = state.sp;
    state.stackHigh = state.sp + 4096;  // the callers' frames, surely there
    CrashReportExtras extras;
    static char out[8192];
    char title[64];
    size_t n = FormatCrashReport(state, modules, extras, out, sizeof out, title, sizeof title);
    return std::string(out, n);
}

TEST(CrashReport, TheStackScanReadsTheSanitizersGuardZonesAsPlainWords) {
    std::string report = ReportOverGuardedLocals();
    EXPECT_NE(report.find("Unknown exception: (code 0x6) at address 0000000000401234"), std::string::npos) << report;
    EXPECT_NE(report.find("\r\n0000000000401234  0000000000000003  0000:00000000 \r\n"), std::string::npos) << report;
}

TEST(ReportAnnotation, InsertsNamesOnlyWhereTheLookupKnowsTheAddress) {
    std::map<std::pair<uint32_t, uint64_t>, SymbolHit> table;
    table[{1, 0x10}] = {"_Z5Crashv", 0x4, "", 0, 0};
    table[{1, 0x20}] = {"main", 0, "main.cpp", 12, 0x3};
    table[{1, 0x30}] = {"odd0001:00000010", 0, "", 0, 0};  // must not be scanned again
    std::vector<std::string> modules;
    SymbolLookup lookup = [&](const std::string& module, uint32_t section, uint64_t offset, SymbolHit& hit) {
        modules.push_back(module);
        auto it = table.find({section, offset});
        if (it == table.end()) return false;
        hit = it->second;
        return true;
    };
    std::string report =
        "Module: game\r\nLogical Address: 0001:00000010\r\n\r\n"
        "A  B  0001:00000020 game\r\nA  B  0001:00000030 libx.so\r\nA  B  0002:00000010 game\r\n"
        "A  B  0000:00000000 \r\n";
    EXPECT_EQ(AnnotateReport(report, lookup),
              "Module: game\r\nLogical Address: 0001:00000010 Crash()+0x4\r\n\r\n"
              "A  B  0001:00000020 main\r\n    main.cpp line 12 +0x3 game\r\n"
              "A  B  0001:00000030 odd0001:00000010 libx.so\r\nA  B  0002:00000010 game\r\n"
              "A  B  0000:00000000 \r\n");
    EXPECT_EQ(modules, (std::vector<std::string>{"game", "game", "libx.so", "game"}));
}

// The buttons per endpoint and application are checked through the windows.
TEST(ReporterFlow, BoxTextDotsAndResults) {
    EXPECT_EQ(ReportBoxText("Head", "one\r\n" + std::string(12, 'x') + "\r\nthree\r\nfour", "/t/crash.txt", 3, 10),
              "Head\n\none\nxxxxxxx...\nthree\n...\n\nThe whole report: /t/crash.txt");

    EXPECT_EQ(ProgressText(0), "Please Wait");
    EXPECT_EQ(ProgressText(9), "Please Wait . . . . . . . . .");
    EXPECT_EQ(ProgressText(10), "Please Wait");

    const ProgressStep expected[] = {ProgressStep::Finish,   ProgressStep::Wait,     ProgressStep::Wait,
                                     ProgressStep::AskRetry, ProgressStep::AskRetry, ProgressStep::Finish,
                                     ProgressStep::AskRetry, ProgressStep::AskRetry, ProgressStep::AskRetry,
                                     ProgressStep::AskRetry};
    for (int result = 0; result <= 9; ++result) EXPECT_EQ(ProgressStepFor(result), expected[result]) << result;
}

}  // namespace
