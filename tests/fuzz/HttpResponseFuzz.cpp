// Any bytes from a server, in pieces of any size, must end in one of the
// response results with the body inside its bound.
#include "crash/HttpResponseParser.h"
#include "tests/fuzz/FuzzTarget.h"

FUZZ_TARGET(http_response) {
    if (size == 0) return 0;
    size_t piece = data[0] % 64 + 1;  // the first byte picks the piece size
    HttpResponseParser parser;
    for (size_t at = 1; at < size && !parser.Done(); at += piece)
        parser.Feed(reinterpret_cast<const char*>(data) + at, at + piece <= size ? piece : size - at);
    parser.Finish();
    int result = parser.Result();
    if (result != 0 && result != 3 && result != 4) __builtin_trap();
    if (parser.Content().size() > HttpResponseParser::kMaxBody) __builtin_trap();
    return 0;
}
