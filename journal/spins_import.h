#pragma once

// Spins brought into the journal from elsewhere: a spins file (one number a
// line, "#" comments, as vantel-sim --spins-file reads), CSV or pasted text
// (numbers separated by commas, semicolons, blanks or new lines), or a saved
// session (the spins entered in it).
#include "journal_store.h"

#include <string>
#include <vector>

namespace vantel::journal {

struct ImportedSpins {
    std::vector<int> spins;
    NightSource source = NightSource::ImportedFile;
};

// Reads the whole text; throws sim::SpinsFileError naming fileName and, for a
// bad number, its line. Nothing is returned unless everything is good.
ImportedSpins parseImport(const std::string& text, const std::string& fileName);
// The text of a file to import, read whole. The one place files are read.
std::string readImportFile(const std::string& path);
ImportedSpins readImport(const std::string& path);

// Imports the spins as one night of the wheel, in one transaction; the night's
// id. began is seconds since 1970.
std::int64_t importSpins(JournalStore& store, std::int64_t wheel, const ImportedSpins& spins,
                         const std::string& origin, std::int64_t began);

// The spins of the wheel of that name in the journal at path, not taken back,
// night after night in the order they began. Throws JournalError (a missing
// wheel included) with one sentence.
std::vector<int> recordedSpins(const std::string& path, const std::string& wheelName);

} // namespace vantel::journal
