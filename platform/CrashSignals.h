#pragma once
#include <cstddef>
#include <cstdint>

// The machine side of crash reporting: fatal-signal handlers on an alternate
// stack, the machine state of the fault, the loaded-module snapshot and the few
// async-signal-safe services the handler needs to leave a report behind.

// What went wrong, in the terms the report uses.
enum class CrashKind {
    AccessViolation,
    StackOverflow,
    Misalignment,
    InPageError,
    PrivilegedInstruction,
    IllegalInstruction,
    IntDivideByZero,
    IntOverflow,
    FloatDivideByZero,
    FloatOverflow,
    FloatUnderflow,
    FloatInexact,
    FloatInvalid,
    FloatSubscript,
    Breakpoint,
    SingleStep,
    Abort,
    Other,
};

struct CrashRegisters {
    bool present = false;
    uint64_t rax = 0, rbx = 0, rcx = 0, rdx = 0, rsi = 0, rdi = 0;
    uint64_t r8 = 0, r9 = 0, r10 = 0, r11 = 0, r12 = 0, r13 = 0, r14 = 0, r15 = 0;
    uint64_t rip = 0, rsp = 0, rbp = 0;
    uint32_t cs = 0, fs = 0, gs = 0;
    uint32_t flags = 0;
};

struct CrashMachineState {
    int signal = 0;
    CrashKind kind = CrashKind::Other;
    uint64_t faultAddress = 0;  // si_addr: the data address of a bad access
    uint64_t pc = 0, sp = 0, fp = 0;
    uint64_t threadId = 0;
    uint64_t stackLow = 0, stackHigh = 0;  // the mapping that holds sp; 0 when unknown
    CrashRegisters regs;
};

struct CrashSegment {
    uint64_t vaddr, filesz, memsz;
    bool executable = false;
};

struct CrashModule {
    char path[256];
    uint64_t bias;
    int segmentCount;
    CrashSegment segments[8];  // the PT_LOAD headers, in file order
};

struct CrashModules {
    int count = 0;
    CrashModule modules[128];
};

// Not signal-safe; done at install and again after libraries were loaded.
void PlatformSnapshotModules(CrashModules& out);

// Called on the alternate stack with the state of the fault. When it returns,
// the signal is raised again with its default action, so the process ends by it.
using CrashSignalCallback = void (*)(const CrashMachineState& state);

// Handlers for SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT and SIGTRAP, and an
// alternate stack for the calling thread.
bool PlatformInstallCrashSignals(CrashSignalCallback callback);
void PlatformRemoveCrashSignals();
// Each thread needs its own alternate stack to report its stack overflow.
bool PlatformPrepareThreadForCrash();

// Set by the handler before anything else; sound output reads it to go silent.
bool PlatformCrashMuted();
void PlatformSetCrashMuted(bool muted);

// Async-signal-safe: creates or truncates the file and writes the bytes.
bool PlatformWriteFileSignalSafe(const char* path, const char* data, size_t size);
// Async-signal-safe: starts this program again with the arguments (argv[0]
// included, null-ended) and does not wait for it. Returns false when no
// process could be started.
bool PlatformSpawnSelfSignalSafe(const char* const* argv);
// Tests make the start fail to see the report still written, and make the
// handler fault to see a second fault end the process.
void PlatformSetSpawnFailsForTest(bool fails);
void PlatformSetHandlerFaultsForTest(bool faults);

// "Linux Ver: " material: kernel name, release, version, machine and the
// distribution's PRETTY_NAME. Not signal-safe; read in advance.
void PlatformDescribeSystem(char* out, size_t size);

// Symbol of an address of this process (reporter side, not signal-safe):
// mangled name and its start; false when unknown.
bool PlatformSymbolAt(uint64_t address, char* name, size_t size, uint64_t* start);

// For tests: the current thread's id as the report prints it.
uint64_t PlatformCurrentThreadId();
