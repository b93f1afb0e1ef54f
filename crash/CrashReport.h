#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/CrashSignals.h"

// The text of a crash report, built from the machine state of a fault with
// async-signal-safe code only (no allocation, no locks).

// The exception-name table, searched in order; its last row has the code
// 0xFFFFFFFF and no name.
struct ExceptionName {
    uint32_t code;
    const char* name;
};
extern const ExceptionName kExceptionNames[];
// The table's name of a code; nullptr for a code it does not list.
const char* FindExceptionName(uint32_t code);
// The code that stands for a signal's kind in the report; the signal number
// itself when no code does (abort).
uint32_t ExceptionCodeFor(CrashKind kind, int signal);

// The first line of the report ("Exception: ..." or "Unknown exception: ...").
void AppendExceptionLine(class SafeText& text, uint32_t code, uint64_t address, uint64_t threadId);

// The module holding an address and where in it: section = 1-based index of
// the PT_LOAD segment whose [vaddr, vaddr + max(filesz, memsz)] (both ends
// included) holds address - bias; offset from the segment's vaddr.
struct LogicalAddress {
    const char* modulePath = nullptr;  // nullptr when no module matched
    uint32_t section = 0;
    uint64_t offset = 0;
    bool executable = false;  // the segment holds code
};
LogicalAddress GetLogicalAddress(const CrashModules& modules, uint64_t address);
// The text after the last '/' or '\'.
const char* FileNamePart(const char* path);

// The frame-pointer chain: each frame is {saved frame pointer, return address}.
// Reads stop at the first frame that is misaligned, not above the previous one
// or outside [low, high).
using ReadWordFn = bool (*)(uint64_t address, uint64_t* value, void* context);
struct StackFrame {
    uint64_t pc;
    uint64_t frame;
};
constexpr int kMaxStackFrames = 128;
int WalkFramePointers(uint64_t pc, uint64_t fp, uint64_t low, uint64_t high, ReadWordFn read, void* context,
                      StackFrame* out, int cap);

// The frame-pointer walk from the fault; where it breaks (in code built
// without frame pointers, such as the C library) it goes on from the next
// frame record found further up the stack, a few times at most. Frames past
// the last one in code are dropped.
int WalkStack(uint64_t pc, uint64_t fp, uint64_t sp, uint64_t low, uint64_t high, const CrashModules& modules,
              ReadWordFn read, void* context, StackFrame* out, int cap);

// What the report adds besides the machine state, captured in advance.
struct CrashReportExtras {
    const char* systemInfo = "";   // "Linux Ver: ...\r\n" lines, ready to append
    const char* sessionInfo = "";  // the application's description, may be empty
    const char* abortReason = "";  // what std::terminate was handling, may be empty
};

// The whole report into `out` and the title "Exception at SSSS:OOOOOOOO" into
// `title`. Returns the report's length.
size_t FormatCrashReport(const CrashMachineState& state, const CrashModules& modules, const CrashReportExtras& extras,
                         char* out, size_t size, char* title, size_t titleSize);
