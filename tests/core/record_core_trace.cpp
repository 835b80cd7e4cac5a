// Writes the trace of every recorded session (see core_trace.h) to the file
// given, or to the standard output: the data the differential test compares
// the core with.
#include "core_trace.h"

#include <cstdio>

int main(int argc, char** argv) {
    std::FILE* out = argc > 1 ? std::fopen(argv[1], "w") : stdout;
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    for (const auto& config : vantel::testing::traceConfigs()) {
        const std::string text = vantel::testing::formatTrace(
            config, vantel::testing::playTrace(config, vantel::testing::Road::Headless));
        if (std::fputs(text.c_str(), out) < 0) {
            std::perror("write");
            return 1;
        }
    }
    return out == stdout || std::fclose(out) == 0 ? 0 : 1;
}
