#include "crash/CrashReport.h"

#include "crash/SafeFormat.h"

const ExceptionName kExceptionNames[] = {
    {0x40000005, "Segment Notification"},
    {0x80000003, "Breakpoint"},
    {0x80000004, "Single step"},
    {0x00000000, "Wait 0"},
    {0x00000080, "Abandoned Wait 0"},
    {0x000000C0, "User APC"},
    {0x00000102, "Timeout"},
    {0x00000103, "Pending"},
    {0x80000001, "Guard Page Violation"},
    {0x80000002, "Data Type Misalignment"},
    {0xC0000005, "Access Violation"},
    {0xC0000006, "In Page Error"},
    {0xC0000017, "No Memory"},
    {0xC000001D, "Illegal Instruction"},
    {0xC0000025, "Noncontinuable Exception"},
    {0xC0000026, "Invalid Disposition"},
    {0xC000008C, "Array Bounds Exceeded"},
    {0xC000008D, "Float Denormal Operand"},
    {0xC000008E, "Divide by Zero"},
    {0xC000008F, "Float Inexact Result"},
    {0xC0000090, "Float Invalid Operation"},
    {0xC0000091, "Float Overflow"},
    {0xC0000092, "Float Stack Check"},
    {0xC0000093, "Float Underflow"},
    {0xC0000094, "Integer Divide by Zero"},
    {0xC0000095, "Integer Overflow"},
    {0xC0000096, "Privileged Instruction"},
    {0xC00000FD, "Stack Overflow"},
    {0xC000013A, "Ctrl+C Exit"},
    {0xFFFFFFFF, nullptr},
};

const char* FindExceptionName(uint32_t code) {
    for (const ExceptionName* row = kExceptionNames; row->code != 0xFFFFFFFF; ++row)
        if (row->code == code) return row->name;
    return nullptr;
}

uint32_t ExceptionCodeFor(CrashKind kind, int signal) {
    switch (kind) {
    case CrashKind::AccessViolation: return 0xC0000005;
    case CrashKind::StackOverflow: return 0xC00000FD;
    case CrashKind::Misalignment: return 0x80000002;
    case CrashKind::InPageError: return 0xC0000006;
    case CrashKind::PrivilegedInstruction: return 0xC0000096;
    case CrashKind::IllegalInstruction: return 0xC000001D;
    case CrashKind::IntDivideByZero: return 0xC0000094;
    case CrashKind::IntOverflow: return 0xC0000095;
    case CrashKind::FloatDivideByZero: return 0xC000008E;
    case CrashKind::FloatOverflow: return 0xC0000091;
    case CrashKind::FloatUnderflow: return 0xC0000093;
    case CrashKind::FloatInexact: return 0xC000008F;
    case CrashKind::FloatInvalid: return 0xC0000090;
    case CrashKind::FloatSubscript: return 0xC000008C;
    case CrashKind::Breakpoint: return 0x80000003;
    case CrashKind::SingleStep: return 0x80000004;
    case CrashKind::Abort:
    case CrashKind::Other: break;
    }
    return static_cast<uint32_t>(signal);
}

void AppendExceptionLine(SafeText& text, uint32_t code, uint64_t address, uint64_t threadId) {
    // Addresses print in full: 64-bit ones do not fit "%08X".
    if (const char* name = FindExceptionName(code))
        text.Appendf("Exception: %s (code 0x%x) at address %016llX in thread %llX\r\n", name, code,
                     static_cast<unsigned long long>(address), static_cast<unsigned long long>(threadId));
    else
        text.Appendf("Unknown exception: (code 0x%x) at address %016llX in thread %llX\r\n", code,
                     static_cast<unsigned long long>(address), static_cast<unsigned long long>(threadId));
}

LogicalAddress GetLogicalAddress(const CrashModules& modules, uint64_t address) {
    LogicalAddress result;
    for (int m = 0; m < modules.count; ++m) {
        const CrashModule& mod = modules.modules[m];
        uint64_t r = address - mod.bias;
        for (int i = 0; i < mod.segmentCount; ++i) {
            const CrashSegment& seg = mod.segments[i];
            uint64_t length = seg.filesz > seg.memsz ? seg.filesz : seg.memsz;
            if (r >= seg.vaddr && r - seg.vaddr <= length) {
                result.modulePath = mod.path;
                result.section = static_cast<uint32_t>(i + 1);
                result.offset = r - seg.vaddr;
                result.executable = seg.executable;
                return result;
            }
        }
    }
    return result;
}

const char* FileNamePart(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '/' || *p == '\\') name = p + 1;
    return name;
}

int WalkFramePointers(uint64_t pc, uint64_t fp, uint64_t low, uint64_t high, ReadWordFn read, void* context,
                      StackFrame* out, int cap) {
    int count = 0;
    while (count < cap) {
        out[count++] = {pc, fp};
        if (fp % sizeof(uint64_t) != 0 || fp < low || fp + 2 * sizeof(uint64_t) > high) break;
        uint64_t next = 0, ret = 0;
        if (!read(fp, &next, context) || !read(fp + sizeof(uint64_t), &ret, context)) break;
        if (next <= fp || next % sizeof(uint64_t) != 0 || next < low || next >= high || ret == 0) break;
        pc = ret;
        fp = next;
    }
    return count;
}

namespace {

// Walks from a frame and keeps the frames up to the first whose address is not
// code (a chain that left the real records).
int WalkCodeFrames(uint64_t pc, uint64_t fp, uint64_t low, uint64_t high, const CrashModules& modules,
                   ReadWordFn read, void* context, StackFrame* out, int cap) {
    int count = WalkFramePointers(pc, fp, low, high, read, context, out, cap);
    for (int i = 0; i < count; ++i)
        if (!GetLogicalAddress(modules, out[i].pc).executable) return i;
    return count;
}

}  // namespace

int WalkStack(uint64_t pc, uint64_t fp, uint64_t sp, uint64_t low, uint64_t high, const CrashModules& modules,
              ReadWordFn read, void* context, StackFrame* out, int cap) {
    // How far past a break a frame record is looked for, and how often.
    constexpr uint64_t kScanBytes = 64 * 1024;
    constexpr int kMaxResumes = 8;
    int count = WalkFramePointers(pc, fp, low, high, read, context, out, cap);
    int chain = count;
    if (count > 1) chain = 1 + WalkCodeFrames(out[1].pc, out[1].frame, low, high, modules, read, context, out + 1,
                                              cap - 1);
    count = chain;
    // The chain breaks where code without frame pointers (the C and C++
    // libraries) used the register for itself. It resumes at the next frame
    // record up the stack: a saved frame pointer above its own slot and above
    // the last frame, with a return address into code over it. A chain of one
    // frame may be a word that only looks like a record, so the search goes on
    // right above it. Recovered frames can include stale records.
    uint64_t from = (sp + 7) & ~uint64_t(7);
    for (int resume = 0; resume < kMaxResumes && count < cap && from >= low; ++resume) {
        uint64_t lastFrame = out[count - 1].frame;
        if (chain > 1 && lastFrame > from && lastFrame < high) from = lastFrame + 8;
        chain = 0;
        uint64_t start = from;
        for (uint64_t at = start; at + 16 <= high && at - start < kScanBytes && chain == 0; at += 8) {
            uint64_t saved = 0, ret = 0;
            if (!read(at, &saved, context) || !read(at + 8, &ret, context)) continue;
            // Frames only go up the stack.
            if (saved <= at || saved <= lastFrame || saved % 8 != 0 || saved >= high) continue;
            chain = WalkCodeFrames(ret, saved, low, high, modules, read, context, out + count, cap - count);
            from = at + 16;
        }
        if (chain == 0) break;
        count += chain;
    }
    return count;
}

namespace {

// The walk reads the stack as raw words, over the guard zones that the
// address sanitizer keeps around locals and over frames long returned from:
// those reads are the point, not a fault, so the sanitizer is kept out of this
// one function (it would otherwise replace the report with its own).
__attribute__((no_sanitize("address"), noinline)) bool ReadStackWord(uint64_t address, uint64_t* value, void*) {
    *value = *reinterpret_cast<const volatile uint64_t*>(address);
    return true;
}

void AppendRegisters(SafeText& text, const CrashRegisters& r) {
    if (!r.present) return;
    using U = unsigned long long;
    text.Appendf("RAX:%016llX RBX:%016llX RCX:%016llX RDX:%016llX RSI:%016llX RDI:%016llX\r\n", U(r.rax), U(r.rbx),
                 U(r.rcx), U(r.rdx), U(r.rsi), U(r.rdi));
    text.Appendf("R8:%016llX R9:%016llX R10:%016llX R11:%016llX R12:%016llX R13:%016llX R14:%016llX R15:%016llX\r\n",
                 U(r.r8), U(r.r9), U(r.r10), U(r.r11), U(r.r12), U(r.r13), U(r.r14), U(r.r15));
    text.Appendf("RIP:%016llX RSP:%016llX  RBP:%016llX\r\n", U(r.rip), U(r.rsp), U(r.rbp));
    text.Appendf("CS:%04X FS:%04X GS:%04X\r\n", r.cs, r.fs, r.gs);
    text.Appendf("Flags:%08X\r\n", r.flags);
    text.Append("\r\n");
}

}  // namespace

size_t FormatCrashReport(const CrashMachineState& state, const CrashModules& modules, const CrashReportExtras& extras,
                         char* out, size_t size, char* title, size_t titleSize) {
    using U = unsigned long long;
    SafeText text(out, size);
    // The address of the instruction, as on the exception line of old; the
    // data address of an access goes on a line of its own.
    AppendExceptionLine(text, ExceptionCodeFor(state.kind, state.signal), state.pc, state.threadId);
    if (state.kind == CrashKind::AccessViolation || state.kind == CrashKind::StackOverflow)
        text.Appendf("Accessed address: %016llX\r\n", U(state.faultAddress));
    if (extras.abortReason && *extras.abortReason) text.Appendf("Reason: %s\r\n", extras.abortReason);

    LogicalAddress where = GetLogicalAddress(modules, state.pc);
    text.Appendf("Module: %s\r\n", where.modulePath ? FileNamePart(where.modulePath) : "");
    text.Appendf("Logical Address: %04X:%08llX\r\n\r\n", where.section, U(where.offset));
    SafeFormat(title, titleSize, "Exception at %04X:%08llX", where.section, U(where.offset));

    static StackFrame frames[kMaxStackFrames];
    int count = WalkStack(state.pc, state.fp, state.sp, state.stackLow, state.stackHigh, modules, ReadStackWord, nullptr,
                          frames, kMaxStackFrames);
    for (int i = 0; i < count; ++i) {
        LogicalAddress at = GetLogicalAddress(modules, frames[i].pc);
        text.Appendf("%016llX  %016llX  %04X:%08llX %s\r\n", U(frames[i].pc), U(frames[i].frame), at.section,
                     U(at.offset), at.modulePath ? FileNamePart(at.modulePath) : "");
    }
    if (count == kMaxStackFrames) text.Appendf("(stack cut at %d frames)\r\n", kMaxStackFrames);
    text.Append("\r\n");

    AppendRegisters(text, state.regs);
    text.Append(extras.systemInfo);
    if (extras.sessionInfo && *extras.sessionInfo) {
        text.Append("\r\n");
        text.Append(extras.sessionInfo);
    }
    return text.Length();
}
