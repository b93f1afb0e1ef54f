#include <string>

#include "render/Fonts.h"
#include "tests/fuzz/FuzzTarget.h"

// Feeds the bytes to the fonts.xml loader. A failed load must say why; a
// successful one must have built a usable font for every entry it took.
FUZZ_TARGET(fonts) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    Fonts loader;
    bool ok = loader.LoadFromString(bytes, "fonts.xml");
    if (!ok && loader.GetErrorText().empty()) __builtin_trap();
    if (ok) {
        for (auto& [name, font] : loader.TakeFonts()) {
            if (!font || font->GetHeight() <= 0.0f) __builtin_trap();
            font->StringWidth(L"Quiltro 7 \u00e9\u4e16");
        }
    }
    return 0;
}
