#include "spins_file.h"

#include "read_file.h"
#include "session_file.h"

namespace vantel::sim {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

} // namespace

std::vector<int> parseSpins(const std::string& text, const std::string& fileName) {
    std::vector<int> spins;
    int lineNo = 0;
    // A byte-order mark, as some editors write at the start of a text file.
    size_t pos = text.rfind("\xef\xbb\xbf", 0) == 0 ? 3 : 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        ++lineNo;
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;

        const std::string original = line;
        const size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        size_t first = 0;
        while (first < line.size() && isSpace(line[first]))
            ++first;
        size_t last = line.size();
        while (last > first && isSpace(line[last - 1]))
            --last;
        if (first == last) continue;
        const std::string word = line.substr(first, last - first);

        // Decimal digits only, at most two, and within the wheel.
        bool ok = word.size() <= 2;
        int value = 0;
        for (size_t i = 0; ok && i < word.size(); ++i) {
            ok = word[i] >= '0' && word[i] <= '9';
            value = value * 10 + (word[i] - '0');
        }
        if (!ok || value > 36) {
            std::string shown = original;
            if (!shown.empty() && shown.back() == '\r') shown.pop_back();
            throw SpinsFileError(fileName + ":" + std::to_string(lineNo) + ": '" + shown +
                                     "' is not a number from 0 to 36",
                                 lineNo);
        }
        spins.push_back(value);
    }
    if (spins.empty()) throw SpinsFileError(fileName + ": no spins in the file", 0);
    return spins;
}

std::vector<int> spinsOfText(const std::string& text, const std::string& fileName) {
    if (!looksLikeSession(text)) return parseSpins(text, fileName);
    vantel::Session session;
    try {
        session = parseSession(text, fileName);
    } catch (const SessionFileError& e) {
        throw SpinsFileError(e.what(), 0);
    }
    std::vector<int> spins;
    spins.reserve(session.entered.size());
    for (const EnteredSpin& e : session.entered)
        spins.push_back(e.number);
    if (spins.empty()) throw SpinsFileError(fileName + ": no spins in the session", 0);
    return spins;
}

std::vector<int> readSpinsFile(const std::string& path) {
    const FileRead file = readRegularFile(path, kSpinsFileMaxBytes);
    if (!file.ok()) throw SpinsFileError(path + ": " + file.reason, 0);
    return spinsOfText(file.bytes, path);
}

} // namespace vantel::sim
