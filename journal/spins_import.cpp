#include "spins_import.h"

#include "read_file.h"
#include "session_file.h"
#include "spins_file.h"

#include <filesystem>
#include <utility>

namespace vantel::journal {

namespace {

bool separator(char c) {
    return c == ',' || c == ';' || c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string lineAt(const std::string& text, std::size_t begin) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

} // namespace

ImportedSpins parseImport(const std::string& text, const std::string& fileName) {
    ImportedSpins result;
    if (looksLikeSession(text)) {
        result.source = NightSource::SessionFile;
        result.spins = sim::spinsOfText(text, fileName);
        return result;
    }
    // A byte-order mark, as some editors write at the start of a text file.
    std::size_t pos = text.rfind("\xef\xbb\xbf", 0) == 0 ? 3 : 0;
    std::size_t lineStart = pos;
    int line = 1;
    result.spins.reserve(text.size() / 3);
    const std::size_t size = text.size();
    while (pos < size) {
        const char c = text[pos];
        if (c == '\n') {
            ++line;
            lineStart = ++pos;
            continue;
        }
        if (separator(c)) {
            ++pos;
            continue;
        }
        if (c == '#') {
            while (pos < size && text[pos] != '\n')
                ++pos;
            continue;
        }
        // A number: decimal digits only, at most two, and within the wheel.
        const std::size_t start = pos;
        while (pos < size && !separator(text[pos]) && text[pos] != '\n' && text[pos] != '#')
            ++pos;
        bool ok = pos - start <= 2;
        int value = 0;
        for (std::size_t i = start; ok && i < pos; ++i) {
            ok = text[i] >= '0' && text[i] <= '9';
            value = value * 10 + (text[i] - '0');
        }
        if (!ok || value > 36) {
            const std::string word = text.substr(start, pos - start);
            const std::string whole = lineAt(text, lineStart);
            throw sim::SpinsFileError(fileName + ":" + std::to_string(line) + ": '" + word +
                                          "' is not a number from 0 to 36" +
                                          (whole == word ? "" : " (in '" + whole + "')"),
                                      line);
        }
        result.spins.push_back(value);
    }
    if (result.spins.empty()) throw sim::SpinsFileError(fileName + ": no spins in it", 0);
    return result;
}

std::string readImportFile(const std::string& path) {
    // A pipe or a device is refused, never read: it could wait for ever.
    FileRead file = readRegularFile(path, sim::kSpinsFileMaxBytes);
    if (file.fault == ReadFault::NotAFile || file.fault == ReadFault::TooLarge)
        throw sim::SpinsFileError(path + ": " + file.reason, 0);
    if (!file.ok()) throw sim::SpinsFileError(path + ": cannot be read", 0);
    return std::move(file.bytes);
}

ImportedSpins readImport(const std::string& path) {
    return parseImport(readImportFile(path), path);
}

std::int64_t importSpins(JournalStore& store, std::int64_t wheel, const ImportedSpins& spins,
                         const std::string& origin, std::int64_t began) {
    return store.importNight(wheel, spins.source, origin, spins.spins, began);
}

std::vector<int> recordedSpins(const std::string& path, const std::string& wheelName) {
    auto store = openJournal(path, OpenMode::ReadOnly);
    const auto wheel = store->findWheel(wheelName);
    if (!wheel)
        throw JournalError(JournalError::Kind::NotFound,
                           "The journal " + std::filesystem::path(path).filename().string() +
                               " has no wheel '" + wheelName + "'.");
    std::vector<int> spins;
    spins.reserve(static_cast<std::size_t>(wheel->spins));
    store->forEachSpin(wheel->id, 0, [&](const SpinRecord& r) {
        if (!r.takenBack) spins.push_back(r.number);
    });
    if (spins.empty())
        throw JournalError(JournalError::Kind::NotFound,
                           "The wheel '" + wheelName + "' has no spins yet.");
    return spins;
}

} // namespace vantel::journal
