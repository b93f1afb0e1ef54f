#include "platform/CrashSignals.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/utsname.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

extern char** environ;

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP};
constexpr int kSignalCount = sizeof(kSignals) / sizeof(kSignals[0]);
// Enough for the report formatter and a libc call or two, with room to spare.
constexpr size_t kAltStackSize = 256 * 1024;
// A fault this close to the stack pointer on unusable memory is the stack
// running into its guard.
constexpr uint64_t kOverflowReach = 64 * 1024;

CrashSignalCallback gCallback = nullptr;
struct sigaction gPrevious[kSignalCount];
bool gInstalled = false;
std::atomic<int> gInHandler{0};
std::atomic<bool> gMuted{false};
std::atomic<bool> gSpawnFails{false};
std::atomic<bool> gHandlerFaults{false};
volatile uintptr_t gNowhere = 0;
alignas(16) char gMainAltStack[kAltStackSize];

// The alternate stack of a thread other than the first, released when the
// thread ends.
struct ThreadAltStack {
    void* memory = nullptr;
    ~ThreadAltStack() {
        if (!memory) return;
        stack_t off{};
        off.ss_flags = SS_DISABLE;
        sigaltstack(&off, nullptr);
        munmap(memory, kAltStackSize);
    }
};
thread_local ThreadAltStack tAltStack;

bool UseAltStack(void* memory) {
    stack_t ss{};
    ss.ss_sp = memory;
    ss.ss_size = kAltStackSize;
    return sigaltstack(&ss, nullptr) == 0;
}

uint64_t ParseHex(const char*& p) {
    uint64_t v = 0;
    for (;; ++p) {
        char c = *p;
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (d < 0) return v;
        v = v * 16 + static_cast<uint64_t>(d);
    }
}

struct Mapping {
    uint64_t start = 0, end = 0;
    bool readable = false;
};

// Reads /proc/self/maps with read(2) only. Finds the mapping that holds `sp`
// (or the first one starting just above it, when sp itself left the stack)
// and the mapping, if any, that holds `fault`.
void FindMappings(uint64_t sp, uint64_t fault, Mapping& stack, Mapping& faultMap) {
    int fd = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    char buf[4096];
    char line[512];
    size_t used = 0;
    Mapping above;
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) break;
        for (ssize_t i = 0; i < n; ++i) {
            char c = buf[i];
            if (c != '\n') {
                if (used + 1 < sizeof line) line[used++] = c;
                continue;
            }
            line[used] = 0;
            used = 0;
            const char* p = line;
            Mapping m;
            m.start = ParseHex(p);
            if (*p++ != '-') continue;
            m.end = ParseHex(p);
            if (*p++ != ' ') continue;
            m.readable = *p == 'r';
            if (sp >= m.start && sp < m.end) stack = m;
            if (fault >= m.start && fault < m.end) faultMap = m;
            if (m.start > sp && m.start - sp <= kOverflowReach && above.end == 0) above = m;
        }
    }
    close(fd);
    if (stack.end == 0) stack = above;
}

CrashKind Classify(int sig, int code, uint64_t fault, uint64_t sp, const Mapping& faultMap) {
    switch (sig) {
    case SIGSEGV: {
        bool nearSp = fault + kOverflowReach >= sp && fault <= sp + kOverflowReach;
        if (nearSp && !faultMap.readable) return CrashKind::StackOverflow;
        return CrashKind::AccessViolation;
    }
    case SIGBUS: return code == BUS_ADRALN ? CrashKind::Misalignment : CrashKind::InPageError;
    case SIGILL:
        return code == ILL_PRVOPC || code == ILL_PRVREG ? CrashKind::PrivilegedInstruction
                                                        : CrashKind::IllegalInstruction;
    case SIGFPE:
        switch (code) {
        case FPE_INTDIV: return CrashKind::IntDivideByZero;
        case FPE_INTOVF: return CrashKind::IntOverflow;
        case FPE_FLTDIV: return CrashKind::FloatDivideByZero;
        case FPE_FLTOVF: return CrashKind::FloatOverflow;
        case FPE_FLTUND: return CrashKind::FloatUnderflow;
        case FPE_FLTRES: return CrashKind::FloatInexact;
        case FPE_FLTINV: return CrashKind::FloatInvalid;
        case FPE_FLTSUB: return CrashKind::FloatSubscript;
        default: return CrashKind::Other;
        }
    case SIGTRAP: return code == TRAP_TRACE ? CrashKind::SingleStep : CrashKind::Breakpoint;
    case SIGABRT: return CrashKind::Abort;
    default: return CrashKind::Other;
    }
}

void ReadRegisters(const ucontext_t* uc, CrashMachineState& s) {
#if defined(__x86_64__)
    const greg_t* g = uc->uc_mcontext.gregs;
    CrashRegisters& r = s.regs;
    r.present = true;
    r.rax = g[REG_RAX]; r.rbx = g[REG_RBX]; r.rcx = g[REG_RCX]; r.rdx = g[REG_RDX];
    r.rsi = g[REG_RSI]; r.rdi = g[REG_RDI];
    r.r8 = g[REG_R8]; r.r9 = g[REG_R9]; r.r10 = g[REG_R10]; r.r11 = g[REG_R11];
    r.r12 = g[REG_R12]; r.r13 = g[REG_R13]; r.r14 = g[REG_R14]; r.r15 = g[REG_R15];
    r.rip = g[REG_RIP]; r.rsp = g[REG_RSP]; r.rbp = g[REG_RBP];
    uint64_t segs = static_cast<uint64_t>(g[REG_CSGSFS]);
    r.cs = segs & 0xFFFF;
    r.gs = (segs >> 16) & 0xFFFF;
    r.fs = (segs >> 32) & 0xFFFF;
    r.flags = static_cast<uint32_t>(g[REG_EFL]);
    s.pc = r.rip;
    s.sp = r.rsp;
    s.fp = r.rbp;
#elif defined(__aarch64__)
    s.pc = uc->uc_mcontext.pc;
    s.sp = uc->uc_mcontext.sp;
    s.fp = uc->uc_mcontext.regs[29];
#else
    (void)uc;
#endif
}

void DieBy(int sig) {
    struct sigaction dfl{};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    sigaction(sig, &dfl, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    // Pending until the handler returns (the signal is blocked while it runs),
    // then delivered with the default action.
    raise(sig);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

// A real fault: the sanitizers' checks would end the process their own way.
__attribute__((noinline, no_sanitize("address", "undefined"))) void FaultOnPurpose() {
    *reinterpret_cast<volatile int*>(gNowhere) = 0;
}

void OnFatalSignal(int sig, siginfo_t* info, void* context) {
    if (gInHandler.exchange(1) != 0) {
        // A fault while reporting another one: end at once.
        DieBy(sig);
        return;
    }
    gMuted.store(true);
    if (gHandlerFaults.load()) FaultOnPurpose();
    static CrashMachineState state;
    state = CrashMachineState{};
    state.signal = sig;
    state.faultAddress = reinterpret_cast<uint64_t>(info->si_addr);
    state.threadId = static_cast<uint64_t>(syscall(SYS_gettid));
    ReadRegisters(static_cast<const ucontext_t*>(context), state);
    Mapping stack, faultMap;
    FindMappings(state.sp, state.faultAddress, stack, faultMap);
    state.stackLow = stack.start;
    state.stackHigh = stack.end;
    state.kind = Classify(sig, info->si_code, state.faultAddress, state.sp, faultMap);
    if (gCallback) gCallback(state);
    DieBy(sig);
}

}  // namespace

void PlatformSnapshotModules(CrashModules& out) {
    out.count = 0;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) -> int {
            auto& mods = *static_cast<CrashModules*>(data);
            if (mods.count >= static_cast<int>(sizeof mods.modules / sizeof mods.modules[0])) return 1;
            CrashModule& m = mods.modules[mods.count];
            const char* name = info->dlpi_name;
            std::string path = name && *name ? name : "";
            if (path.empty() && mods.count == 0) {
                // The program itself has no name here; ask the kernel.
                char exe[sizeof m.path] = {};
                ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
                if (n > 0) path.assign(exe, static_cast<size_t>(n));
            }
            if (path.empty()) return 0;  // vdso and the like
            std::snprintf(m.path, sizeof m.path, "%s", path.c_str());
            m.bias = info->dlpi_addr;
            m.segmentCount = 0;
            for (int i = 0; i < info->dlpi_phnum && m.segmentCount < 8; ++i) {
                const auto& ph = info->dlpi_phdr[i];
                if (ph.p_type != PT_LOAD) continue;
                m.segments[m.segmentCount++] = {ph.p_vaddr, ph.p_filesz, ph.p_memsz, (ph.p_flags & PF_X) != 0};
            }
            ++mods.count;
            return 0;
        },
        &out);
}

bool PlatformInstallCrashSignals(CrashSignalCallback callback) {
    gCallback = callback;
    if (gInstalled) return true;
    if (!UseAltStack(gMainAltStack)) return false;
    for (int i = 0; i < kSignalCount; ++i) {
        struct sigaction sa{};
        sa.sa_sigaction = OnFatalSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
        sigaction(kSignals[i], &sa, &gPrevious[i]);
    }
    gInstalled = true;
    return true;
}

void PlatformRemoveCrashSignals() {
    if (!gInstalled) return;
    for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &gPrevious[i], nullptr);
    gInstalled = false;
    gCallback = nullptr;
}

bool PlatformPrepareThreadForCrash() {
    if (tAltStack.memory) return true;
    void* memory = mmap(nullptr, kAltStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) return false;
    if (!UseAltStack(memory)) {
        munmap(memory, kAltStackSize);
        return false;
    }
    tAltStack.memory = memory;
    return true;
}

bool PlatformCrashMuted() { return gMuted.load(std::memory_order_relaxed); }
void PlatformSetCrashMuted(bool muted) { gMuted.store(muted); }

bool PlatformWriteFileSignalSafe(const char* path, const char* data, size_t size) {
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = true;
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return close(fd) == 0 && ok;
}

bool PlatformSpawnSelfSignalSafe(const char* const* argv) {
    if (gSpawnFails.load()) return false;
    // The raw system call, not fork(3): the library's fork runs at-fork
    // handlers that take locks the crashed thread may hold.
    long pid = syscall(SYS_clone, SIGCHLD, 0, 0, 0, 0);
    if (pid < 0) return false;
    if (pid == 0) {
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        execve("/proc/self/exe", const_cast<char* const*>(argv), environ);
        _exit(127);
    }
    return true;
}

void PlatformSetSpawnFailsForTest(bool fails) { gSpawnFails.store(fails); }
void PlatformSetHandlerFaultsForTest(bool faults) { gHandlerFaults.store(faults); }

void PlatformDescribeSystem(char* out, size_t size) {
    std::string text;
    utsname u{};
    if (uname(&u) == 0)
        text = std::string(u.sysname) + " " + u.release + " " + u.version + " " + u.machine;
    std::ifstream release("/etc/os-release");
    std::string line;
    while (std::getline(release, line)) {
        if (line.rfind("PRETTY_NAME=", 0) != 0) continue;
        std::string value = line.substr(12);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        text += " (" + value + ")";
        break;
    }
    std::snprintf(out, size, "%s", text.c_str());
}

bool PlatformSymbolAt(uint64_t address, char* name, size_t size, uint64_t* start) {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(address), &info) == 0 || !info.dli_sname) return false;
    std::snprintf(name, size, "%s", info.dli_sname);
    *start = reinterpret_cast<uint64_t>(info.dli_saddr);
    return true;
}

uint64_t PlatformCurrentThreadId() { return static_cast<uint64_t>(syscall(SYS_gettid)); }
