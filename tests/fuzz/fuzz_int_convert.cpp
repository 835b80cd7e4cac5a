// The text-to-integer conversion against the reference reading of its rules:
// the same verdict, the same value, and the exact error message.
#include "int_convert.h"
#include "reference.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto expected = reference::toInt(text);
    const auto got = vantel::tryStrToInt(text);
    if (expected != got) {
        std::fprintf(stderr, "'%s': expected %s%lld, got %s%lld\n", text.c_str(),
                     expected ? "" : "failure ", expected ? (long long)*expected : 0LL,
                     got ? "" : "failure ", got ? (long long)*got : 0LL);
        std::abort();
    }
    try {
        const int32_t v = vantel::StrToInt(text);
        if (!expected || v != *expected) std::abort();
    } catch (const vantel::ConvertError& e) {
        // what() is a C string: a text holding a zero byte ends there.
        if (expected || std::strcmp(e.what(), reference::message(text).c_str()) != 0) {
            std::fprintf(stderr, "wrong error for '%s': %s\n", text.c_str(), e.what());
            std::abort();
        }
    }
    return 0;
}
