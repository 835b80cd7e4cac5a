// The session file's reader. Whatever the bytes, it either opens a session or
// refuses the file with one line that names it; it never crashes, overflows or
// allocates beyond what the bounds allow. A session it opens is within every
// bound, so written again it reads back as the same text.
#include "session_file.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void fault(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s %s\n", what, detail.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    vantel::Session session;
    try {
        session = vantel::parseSession(text, "night.vantel");
    } catch (const vantel::SessionFileError& e) {
        const std::string said = e.what();
        if (said.rfind("night.vantel: not opened, ", 0) != 0)
            fault("a refusal that does not name the file:", said);
        if (said.find('\n') != std::string::npos) fault("a refusal of more than one line:", said);
        return 0;
    }
    const std::string written = vantel::sessionText(session);
    try {
        if (vantel::sessionText(vantel::parseSession(written, "again.vantel")) != written)
            fault("a session opened is not written back the same", written);
    } catch (const vantel::SessionFileError& e) {
        fault("a session opened is refused once written again:", e.what());
    }
    return 0;
}
