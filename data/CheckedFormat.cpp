#include "data/CheckedFormat.h"

#include "core/StringUtil.h"

FormatArg::FormatArg(const std::string& utf8) : mKind(Text), mText(StringToWString(utf8)) {}
FormatArg::FormatArg(const char* utf8) : mKind(Text), mText(StringToWString(utf8 ? utf8 : "")) {}

std::wstring FormatChecked(const std::wstring& format, std::initializer_list<FormatArg> args) {
    return FormatChecked(format, args.begin(), args.size());
}

std::wstring FormatChecked(const std::wstring& format, const FormatArg* args, size_t count) {
    std::wstring out;
    out.reserve(format.size());
    size_t next = 0;
    const size_t n = format.size();
    size_t i = 0;
    while (i < n) {
        wchar_t c = format[i];
        if (c != L'%' || i + 1 >= n) {
            out += c;
            ++i;
            continue;
        }
        // Parse "%[0][N]conv" without consuming anything yet.
        size_t j = i + 1;
        if (format[j] == L'%') {
            out += L'%';
            i = j + 1;
            continue;
        }
        bool zeroPad = false;
        if (format[j] == L'0') {
            zeroPad = true;
            ++j;
        }
        int width = 0;
        int digits = 0;
        while (j < n && format[j] >= L'0' && format[j] <= L'9' && digits < 3) {
            width = width * 10 + (format[j] - L'0');
            ++j;
            ++digits;
        }
        bool widthOk = digits <= 2;
        wchar_t conv = j < n ? format[j] : L'\0';
        bool sized = zeroPad || digits > 0;
        const FormatArg* arg = next < count ? &args[next] : nullptr;
        bool done = false;
        if (conv == L'd' && widthOk && arg && arg->GetKind() == FormatArg::Integer) {
            long long v = arg->GetInteger();
            std::wstring digitsText = std::to_wstring(v < 0 ? -(v + 1) + 1ULL : static_cast<unsigned long long>(v));
            std::wstring sign = v < 0 ? L"-" : L"";
            size_t len = sign.size() + digitsText.size();
            size_t pad = static_cast<size_t>(width) > len ? static_cast<size_t>(width) - len : 0;
            if (zeroPad) out += sign + std::wstring(pad, L'0') + digitsText;
            else out += std::wstring(pad, L' ') + sign + digitsText;
            done = true;
        } else if (!sized && conv == L's' && arg && arg->GetKind() == FormatArg::Text) {
            out += arg->GetText();
            done = true;
        } else if (!sized && conv == L'c' && arg && arg->GetKind() == FormatArg::Character) {
            out += static_cast<wchar_t>(arg->GetInteger());
            done = true;
        }
        if (done) {
            ++next;
            i = j + 1;
        } else {
            out += L'%';  // the rest is copied as it stands
            ++i;
        }
    }
    return out;
}

bool HasOneIntegerConversion(const std::wstring& format) {
    int integers = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != L'%') continue;
        size_t j = i + 1;
        if (j < format.size() && format[j] == L'%') {
            i = j;
            continue;
        }
        if (j < format.size() && format[j] == L'0') ++j;
        size_t digits = 0;
        while (j < format.size() && format[j] >= L'0' && format[j] <= L'9' && digits < 3) ++j, ++digits;
        if (digits > 2 || j >= format.size() || format[j] != L'd') return false;
        ++integers;
        i = j;
    }
    return integers == 1;
}
