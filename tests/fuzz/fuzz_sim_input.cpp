// vantel-sim's inputs: a command line and the text of a spins file. The input
// holds the arguments separated by NUL bytes; after the first pair of NULs
// comes the text that --spins-file reads. Whatever they hold, the command line
// either runs with every setting in its range, or ends with exit status 0 and
// the help or version, or with status 2 and one line naming the problem; and
// the spins file reads as a second, independent reading of its rules says.
#include "sim_options.h"
#include "spins_file.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace vantel::sim;

[[noreturn]] void fault(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "%s %s\n", what, detail.c_str());
    std::abort();
}

// The spins file rules read once more: an optional byte-order mark; lines end
// at '\n'; "#" starts a comment; spaces, tabs, CR, FF and VT around a number;
// the number is one or two decimal digits from 0 to 36. Returns the 1-based
// line at fault, 0 for a file with no spins, or -1 when it is good.
int referenceSpins(std::string text, std::vector<int>& spins) {
    if (text.size() >= 3 && text.compare(0, 3, "\xef\xbb\xbf") == 0) text.erase(0, 3);
    int line = 0;
    std::string::size_type start = 0;
    while (start < text.size()) {
        ++line;
        std::string::size_type stop = text.find('\n', start);
        if (stop == std::string::npos) stop = text.size();
        std::string word;
        bool gap = false; // a space after a digit
        bool bad = false;
        for (std::string::size_type i = start; i < stop && text[i] != '#'; ++i) {
            const char c = text[i];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                gap = !word.empty();
            } else if (c >= '0' && c <= '9' && !gap) {
                word += c;
            } else {
                bad = true;
            }
        }
        start = stop + 1;
        if (!bad && word.empty()) continue;
        if (bad || word.size() > 2 || std::stoi(word) > 36) return line;
        spins.push_back(std::stoi(word));
    }
    return spins.empty() ? 0 : -1;
}

void checkSpinsFile(const std::string& text) {
    std::vector<int> expected;
    const int expectedLine = referenceSpins(text, expected);
    try {
        const std::vector<int> spins = parseSpins(text, "spins.txt");
        if (expectedLine != -1)
            fault("read a file the rules refuse at line", std::to_string(expectedLine));
        if (spins != expected) fault("read other spins than the rules give");
    } catch (const SpinsFileError& e) {
        if (e.line() != expectedLine) fault("refused at another line than the rules:", e.what());
        const std::string message = e.what();
        if (message.rfind("spins.txt:", 0) != 0)
            fault("a message that does not name the file:", message);
    }
}

void checkCommand(const std::vector<std::string>& args, const std::string& spinsText) {
    std::vector<const char*> argv;
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    argv.push_back(nullptr);
    SimOptions options;
    const SimCommand c = parseSimOptions(
        static_cast<int>(args.size()), argv.data(), 2,
        [&](const std::string& path) { return parseSpins(spinsText, path); }, options);
    if (!c.run) {
        if (c.status == kExitBadInput) {
            if (c.error.empty() || c.error.find('\n') != std::string::npos || !c.output.empty())
                fault("bad input without exactly one line:", c.error);
        } else if (c.status != 0 || c.output.empty() || !c.error.empty()) {
            fault("an ending that is neither help, version nor bad input:", c.error);
        }
        return;
    }
    const Config& k = options.config;
    const Settings& s = k.settings;
    const bool inRange =
        s.gameMode >= 0 && s.gameMode <= 2 &&
        (s.bettingSystem == "Martingale" || s.bettingSystem == "Donald") && s.initialBet >= 1 &&
        s.initialBet <= 10000 && s.safeLevel >= 0 && s.safeLevel <= 10 && s.mode3Reset >= 0 &&
        s.mode3Reset <= 2 && s.increaseTill >= 1 && s.increaseTill <= 35 && s.progression >= 0 &&
        s.progression <= 1 && s.sequentialLosses >= 1 && s.sequentialLosses <= 10000 &&
        s.sequentialWins >= 1 && s.sequentialWins <= 10000 && k.sessions >= 1 &&
        k.sessions <= 1000000 && k.spins >= 1 && k.spins <= 1000000 && k.threads >= 1 &&
        k.threads <= 1024 && k.spinIntervalMs >= 1 && (!k.bankroll || *k.bankroll >= 1) &&
        (!k.tableLimit || *k.tableLimit >= 1) &&
        (options.spinsFile.empty() ? k.recorded.empty() : !k.recorded.empty()) &&
        (options.chartFile.empty() || (options.chartWidth >= 400 && options.chartWidth <= 8000 &&
                                       options.chartHeight >= 300 && options.chartHeight <= 8000));
    if (!inRange) fault("a run with a setting out of its range");
    for (int n : k.recorded)
        if (n < 0 || n > 36) fault("a recorded spin off the wheel:", std::to_string(n));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string::size_type split = input.find(std::string("\0\0", 2));
    const std::string commandLine = input.substr(0, split);
    const std::string spinsText = split == std::string::npos ? "" : input.substr(split + 2);

    std::vector<std::string> args = {"vantel-sim"};
    std::string::size_type start = 0;
    while (start <= commandLine.size() && args.size() < 64) {
        std::string::size_type stop = commandLine.find('\0', start);
        if (stop == std::string::npos) stop = commandLine.size();
        args.push_back(commandLine.substr(start, stop - start));
        start = stop + 1;
    }
    checkCommand(args, spinsText);
    checkSpinsFile(spinsText);
    return 0;
}
