#include "bench/BareExpat.h"

#include <expat.h>

bool RunBareExpat(const std::string& bytes, BareExpatCounts& counts) {
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, &counts);
    XML_SetElementHandler(
        parser,
        [](void* user, const XML_Char*, const XML_Char**) { ++static_cast<BareExpatCounts*>(user)->mElements; },
        [](void*, const XML_Char*) {});
    XML_SetCharacterDataHandler(parser, [](void* user, const XML_Char*, int length) {
        static_cast<BareExpatCounts*>(user)->mChars += static_cast<size_t>(length);
    });
    bool ok = XML_Parse(parser, bytes.data(), static_cast<int>(bytes.size()), XML_TRUE) == XML_STATUS_OK;
    XML_ParserFree(parser);
    return ok;
}
