// vantel-wheel: the wheel journal on the command line. Imports recorded spins
// into a wheel, lists the wheels and their nights, exports a wheel's spins as
// CSV, and prints a wheel's figures over its whole journal or over files.
#include "journal_store.h"
#include "spins_file.h"
#include "spins_import.h"
#include "wheel_evidence.h"
#include "wheel_tallies.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace vantel;
using namespace vantel::journal;

constexpr int kExitBadInput = 2;

// An input that stops the command before it changes anything: one line,
// exit status 2.
struct BadInput {
    std::string message;
};

int fail(const std::string& message) {
    std::string line = message;
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::fprintf(stderr, "vantel-wheel: %s\n", line.c_str());
    return kExitBadInput;
}

std::int64_t nowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string dateText(std::int64_t seconds) {
    if (seconds == 0) return "-";
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &tm);
    return text;
}

// 1242616 as 1,242,616.
std::string grouped(std::int64_t n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<std::size_t>(i), ",");
    return n < 0 ? "-" + digits : digits;
}

// "1 night", "2 nights", "1,242,616 spins".
std::string counted(std::int64_t n, const char* what) {
    return grouped(n) + " " + what + (n == 1 ? "" : "s");
}

WheelInfo wheelOf(JournalStore& store, const std::string& name) {
    if (auto w = store.findWheel(name)) return *w;
    std::string known;
    for (const WheelInfo& w : store.wheels())
        known += (known.empty() ? "" : ", ") + ("'" + w.name + "'");
    throw BadInput{"--wheel: the journal " +
                   std::filesystem::path(store.location()).filename().string() + " has no wheel '" +
                   name + "'" +
                   (known.empty() ? std::string(" (it has none)") : " (it has " + known + ")")};
}

int runImport(const std::string& journalPath, const std::string& wheelName, const std::string& note,
              const std::vector<std::string>& files) {
    // Every file is read and checked before the journal is touched.
    std::vector<ImportedSpins> read;
    for (const std::string& f : files)
        read.push_back(readImport(f));
    auto store = openJournal(journalPath);
    const WheelInfo wheel = store->openWheel(wheelName, note);
    const std::int64_t began = nowSeconds();
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string origin = std::filesystem::path(files[i]).filename().string();
        const std::int64_t night = importSpins(*store, wheel.id, read[i], origin, began);
        std::printf("%s: %s spins into '%s' as night %lld\n", origin.c_str(),
                    grouped(static_cast<std::int64_t>(read[i].spins.size())).c_str(),
                    wheel.name.c_str(), static_cast<long long>(night));
    }
    return 0;
}

int runList(const std::string& journalPath, bool nights) {
    auto store = openJournal(journalPath, OpenMode::ReadOnly);
    const std::vector<WheelInfo> wheels = store->wheels();
    if (wheels.empty()) std::printf("No wheels in %s.\n", journalPath.c_str());
    for (const WheelInfo& w : wheels) {
        std::printf("%s\t%s\t%s%s%s\n", w.name.c_str(), counted(w.nights, "night").c_str(),
                    counted(w.spins, "spin").c_str(), w.note.empty() ? "" : "\t", w.note.c_str());
        if (!nights) continue;
        for (const NightInfo& n : store->nights(w.id))
            std::printf("  night %lld\t%s to %s\t%s\t%s%s%s\n", static_cast<long long>(n.id),
                        dateText(n.began).c_str(), n.ended ? dateText(n.ended).c_str() : "(open)",
                        counted(n.spins, "spin").c_str(), sourceName(n.source),
                        n.origin.empty() ? "" : " ", n.origin.c_str());
    }
    return 0;
}

// The wheel's spins as CSV, one a row, taken back ones marked; written to a
// file beside the target that takes its name only once it is whole.
int runExport(const std::string& journalPath, const std::string& wheelName,
              const std::string& csvPath) {
    auto store = openJournal(journalPath, OpenMode::ReadOnly);
    const WheelInfo wheel = wheelOf(*store, wheelName);
    const std::string partial = csvPath + ".partial";
    {
        std::ofstream out(partial, std::ios::trunc | std::ios::binary);
        if (!out) throw BadInput{"--csv: cannot write '" + csvPath + "'"};
        out << "night,order,number,entered_utc_ms,taken_back\n";
        std::string row;
        store->forEachSpin(wheel.id, 0, [&](const SpinRecord& r) {
            row = std::to_string(r.night) + ',' + std::to_string(r.order) + ',' +
                  std::to_string(r.number) + ',' +
                  (r.enteredAt ? std::to_string(r.enteredAt) : "") + ',' +
                  (r.takenBack ? "1" : "0") + '\n';
            out << row;
        });
        out.flush();
        if (!out) {
            std::remove(partial.c_str());
            throw BadInput{"--csv: cannot write '" + csvPath + "'"};
        }
    }
    std::error_code ec;
    std::filesystem::rename(partial, csvPath, ec);
    if (ec) {
        std::remove(partial.c_str());
        throw BadInput{"--csv: cannot write '" + csvPath + "': " + ec.message()};
    }
    return 0;
}

// A day as YYYY-MM-DD, as seconds since 1970 at its start (UTC).
std::int64_t dayStart(const std::string& option, const std::string& text) {
    std::tm tm{};
    std::istringstream in(text);
    in >> std::get_time(&tm, "%Y-%m-%d");
    if (in.fail() || in.peek() != EOF)
        throw BadInput{option + ": '" + text + "' is not a day as YYYY-MM-DD"};
    return static_cast<std::int64_t>(timegm(&tm));
}

// The figures of a wheel over its journal (the nights that began within the
// days given), or of files, each a night.
int runStats(const std::string& journalPath, const std::string& wheelName,
             const std::vector<std::string>& files, const std::string& from, const std::string& to,
             bool json) {
    sim::WheelTallies tallies;
    if (!journalPath.empty()) {
        if (!files.empty())
            throw BadInput{"stats: either --journal and --wheel or FILE…, not both"};
        if (wheelName.empty()) throw BadInput{"--journal requires --wheel"};
        DateRange range;
        if (!from.empty()) range.from = dayStart("--from", from);
        if (!to.empty()) range.to = dayStart("--to", to) + 86399;
        auto store = openJournal(journalPath, OpenMode::ReadOnly);
        tallies = store->tallies(wheelOf(*store, wheelName).id, range);
    } else {
        if (files.empty()) throw BadInput{"stats: give --journal and --wheel, or FILE…"};
        if (!wheelName.empty() || !from.empty() || !to.empty())
            throw BadInput{"stats: --wheel, --from and --to go with --journal"};
        for (const std::string& f : files)
            tallies += sim::talliesOfNight(readImport(f).spins);
    }
    if (json)
        std::cout << sim::wheelStatsJson(tallies).dump(2) << '\n';
    else
        std::cout << sim::wheelStatsText(tallies);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"The wheel journal: recorded spins per wheel, across nights, and the figures "
                 "that can find a biased wheel"};
    app.set_version_flag("--version", std::string("vantel-wheel ") + VANTEL_VERSION);
    app.require_subcommand(1);
    app.footer(
        "Examples:\n"
        "  vantel-wheel import --journal journal.sqlite --wheel \"Table 3\" may3.txt may4.csv\n"
        "  vantel-wheel list --journal journal.sqlite --nights\n"
        "  vantel-wheel export --journal journal.sqlite --wheel \"Table 3\" --csv t3.csv\n"
        "  vantel-wheel stats --journal journal.sqlite --wheel \"Table 3\" --json\n"
        "  vantel-wheel stats may3.txt may4.csv\n\n"
        "Each file imported is a night of its own: one number from 0 to 36 a line with # "
        "comments, numbers separated by commas, semicolons or blanks, or a saved session. "
        "A bad number refuses the whole import. Bad input is said in one line, with exit "
        "status 2. vantel-sim --journal FILE --wheel NAME plays a wheel's spins.");

    std::string journalPath, wheelName, note, csvPath;
    std::vector<std::string> files;
    bool nights = false;

    CLI::App* import = app.add_subcommand("import", "Import spins files, CSV or session files into "
                                                    "a wheel, each file a night of its own");
    import->add_option("--journal", journalPath, "The journal file (made when missing)")
        ->required();
    import->add_option("--wheel", wheelName, "The wheel (made when missing)")->required();
    import->add_option("--note", note, "A note for a new wheel, e.g. \"Casino X, table 3\"");
    import
        ->add_option("FILE", files,
                     "Spins: one number a line, numbers separated by commas, "
                     "semicolons or blanks, or a saved session")
        ->required();

    CLI::App* list = app.add_subcommand("list", "List the journal's wheels");
    list->add_option("--journal", journalPath, "The journal file")->required();
    list->add_flag("--nights", nights, "List each wheel's nights too");

    CLI::App* exportCommand =
        app.add_subcommand("export", "Write a wheel's spins as CSV, one a row");
    exportCommand->add_option("--journal", journalPath, "The journal file")->required();
    exportCommand->add_option("--wheel", wheelName, "The wheel")->required();
    exportCommand->add_option("--csv", csvPath, "The CSV file to write")->required();

    std::string from, to;
    bool json = false;
    CLI::App* stats = app.add_subcommand(
        "stats", "The figures that can find a biased wheel, over a wheel's whole journal or over "
                 "files, each a night");
    stats->add_option("--journal", journalPath, "The journal file");
    stats->add_option("--wheel", wheelName, "The journal's wheel");
    stats->add_option("--from", from, "Only nights that began on this day or later (YYYY-MM-DD)");
    stats->add_option("--to", to, "Only nights that began on this day or earlier (YYYY-MM-DD)");
    stats->add_option("FILE", files, "Spins files, CSV or session files instead of a journal");
    stats->add_flag("--json", json, "Write the figures as JSON");

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        return fail(e.what());
    }

    try {
        if (*import) return runImport(journalPath, wheelName, note, files);
        if (*list) return runList(journalPath, nights);
        if (*exportCommand) return runExport(journalPath, wheelName, csvPath);
        if (*stats) return runStats(journalPath, wheelName, files, from, to, json);
    } catch (const BadInput& e) {
        return fail(e.message);
    } catch (const sim::SpinsFileError& e) {
        return fail(e.what());
    } catch (const JournalError& e) {
        return fail(e.what());
    }
    return 0;
}
