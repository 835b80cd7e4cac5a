#pragma once

// The command line of vantel-sim: every option named after the window's
// settings, with the window's defaults and ranges. Reading it plays nothing
// and writes no file.
#include "engine.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantel::sim {

struct SimOptions {
    Config config;
    std::string spinsFile;
    // --journal J --wheel W: a wheel's recorded spins, read by readJournal.
    std::string journalFile, wheelName;
    std::function<std::vector<int>(const std::string& journal, const std::string& wheel)>
        readJournal;
    std::string csvFile;
    std::string chartFile;
    int chartWidth = 0;
    int chartHeight = 0;
    bool json = false;
    bool quiet = false;
    bool exact = false;         // compute the distribution instead of sampling sessions
    bool sessionsGiven = false; // --sessions was given (with --exact: for a fallback)
};

// What to do once the command line is read: run, or end at once with a
// status (0 after --help or --version, 2 on bad input) and the text to show.
struct SimCommand {
    bool run = false;
    int status = 0;
    std::string output; // for stdout: the help or the version
    std::string error;  // for stderr: one line naming the problem and the value
};

constexpr int kExitBadInput = 2;

// Reads the options into `options`. A --spins-file is read with `readSpins`
// (which throws SpinsFileError on a bad file), so that every input is checked
// before a single spin is played.
SimCommand parseSimOptions(int argc, const char* const* argv, unsigned cores,
                           const std::function<std::vector<int>(const std::string&)>& readSpins,
                           SimOptions& options);

} // namespace vantel::sim
