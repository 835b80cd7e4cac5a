// The field table (core/settings.h) against the names saved files, scripts
// and readers already rely on: the session file's keys and its messages,
// vantel-sim's options and JSON keys, the report's words.
#include "report.h"
#include "session_file.h"
#include "settings.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using vantel::kSettingFields;

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The names each setting had before the table, in the window's order.
struct Names {
    const char* name;
    const char* sessionKey;
    const char* option;
    const char* jsonKey;
};
const Names kNames[] = {
    {"Game Mode", "gameMode", "--mode", "mode"},
    {"Betting System", "bettingSystem", "--system", "system"},
    {"Init. Bet", "initialBet", "--initial-bet", "initial_bet"},
    {"Safe Level", "safeLevel", "--safe-level", "safe_level"},
    {"Fixed Matrix", "fixedMatrix", "--fixed-matrix", "fixed_matrix"},
    {"Reset on", "mode3Reset", "--reset-on", "reset_on"},
    {"Increase till", "increaseTill", "--increase-till", "increase_till"},
    {"Progression", "progression", "--progression", "progression"},
    {"M. Count", "sequentialLosses", "--m-count", "m_count"},
    {"W. Count", "sequentialWins", "--w-count", "w_count"},
};

TEST(SettingsTable, KeepsEveryNameSavedFilesAndScriptsUseInTheirOrder) {
    ASSERT_EQ(std::size(kNames), kSettingFields.size());
    for (size_t i = 0; i < kSettingFields.size(); ++i) {
        EXPECT_EQ(kSettingFields[i].name.name, kNames[i].name);
        EXPECT_EQ(kSettingFields[i].sessionKey, kNames[i].sessionKey);
        EXPECT_EQ(kSettingFields[i].name.option, kNames[i].option);
        EXPECT_EQ(kSettingFields[i].jsonKey, kNames[i].jsonKey);
    }
}

// Each row reaches its own member and no other's.
TEST(SettingsTable, EveryRowSetsItsOwnSettingAlone) {
    for (size_t i = 0; i < kSettingFields.size(); ++i) {
        vantel::Settings s;
        const vantel::SettingField& f = kSettingFields[i];
        const int other = f.defaultValue == f.max ? f.min : f.max;
        f.setValue(s, other);
        EXPECT_EQ(f.value(s), other) << f.name.name;
        for (size_t j = 0; j < kSettingFields.size(); ++j) {
            if (j == i) continue;
            EXPECT_EQ(kSettingFields[j].value(s), kSettingFields[j].defaultValue)
                << f.name.name << " moved " << kSettingFields[j].name.name;
        }
    }
}

// A session file with one setting's value replaced, its checksum made anew.
std::string sessionWith(const std::string& key, const nlohmann::json& value) {
    nlohmann::json file = nlohmann::json::parse(slurp(VANTEL_SESSION_SAMPLE));
    nlohmann::json& settings = file["content"]["settings"];
    if (value.is_discarded())
        settings.erase(key);
    else
        settings[key] = value;
    char sum[17];
    std::snprintf(sum, sizeof sum, "%016llx",
                  static_cast<unsigned long long>(vantel::fnv1a64(file["content"].dump())));
    file["checksum"] = std::string("fnv1a64:") + sum;
    return file.dump();
}

TEST(SettingsTable, ASavedSessionLoadsAndSavesAgainByteForByte) {
    const std::string saved = slurp(VANTEL_SESSION_SAMPLE);
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(vantel::sessionText(vantel::parseSession(saved, "s.vantel")), saved);
}

TEST(SettingsTable, ASessionFileNamesTheSettingItRefuses) {
    const nlohmann::json missing = nlohmann::json::value_t::discarded;
    const struct {
        const char* key;
        nlohmann::json value;
        const char* says;
    } cases[] = {
        {"gameMode", 3, "Game Mode is 3, not 0 to 2"},
        {"bettingSystem", "Bob", "Betting System is \"Bob\", not \"Martingale\" or \"Donald\""},
        {"initialBet", 0, "Init. Bet is 0, not 1 to 10000"},
        {"safeLevel", 11, "Safe Level is 11, not 0 to 10"},
        {"fixedMatrix", 1, "Fixed Matrix is not true or false"},
        {"mode3Reset", -1, "Reset on is -1, not 0 to 2"},
        {"increaseTill", 36, "Increase till is 36, not 1 to 35"},
        {"progression", 2, "Progression is 2, not 0 to 1"},
        {"sequentialLosses", "2", "M. Count is not a whole number"},
        {"sequentialWins", 123456, "W. Count is 123,456, not 1 to 10000"},
        {"sequentialWins", missing, "not opened, W. Count is missing"},
    };
    for (const auto& c : cases) {
        try {
            vantel::parseSession(sessionWith(c.key, c.value), "s.vantel");
            ADD_FAILURE() << c.key << " opened";
        } catch (const vantel::SessionFileError& e) {
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos)
                << c.key << ": " << e.what();
        }
    }
}

TEST(SettingsTable, TheReportTellsEverySettingInItsWords) {
    vantel::sim::Config config;
    vantel::Settings& s = config.settings;
    s = {2, "Donald", 3, 2, true, 1, 7, 1, 4, 5};
    const std::string report = vantel::sim::formatReport(config, vantel::sim::Report{});
    EXPECT_EQ(report.substr(0, report.find("Spins from")),
              "Settings       Sequential, Donald, initial bet 3, safe level 2, fixed matrix on\n"
              "Sequential     reset on \"ONLY +\", increase till 7, + Init. Bet, M. count 4, "
              "W. count 5\n");
}

// vantel-sim's options, read from its --help in order, and the JSON report's
// settings for a command line that gives every one of them.
TEST(SettingsTable, VantelSimTakesEveryOptionAndWritesEveryJsonKey) {
    const std::string out = ::testing::TempDir() + "settings_table_" + std::to_string(::getpid());
    const auto run = [&out](const std::string& args) {
        EXPECT_EQ(std::system((std::string(VANTEL_SIM_BINARY) + " " + args + " >" + out).c_str()),
                  0);
        return slurp(out);
    };
    const std::string help = run("--help");
    size_t at = 0;
    for (const Names& n : kNames) {
        const size_t next = help.find(std::string("  ") + n.option + " ", at);
        EXPECT_NE(next, std::string::npos) << n.option << " missing or out of order";
        at = next == std::string::npos ? at : next;
    }
    const nlohmann::ordered_json report = nlohmann::ordered_json::parse(
        run("--mode Sequential --system Donald --initial-bet 3 --safe-level 2 --fixed-matrix "
            "--reset-on 'ONLY +' --increase-till 7 --progression '+ Init. Bet' --m-count 4 "
            "--w-count 5 --sessions 1 --spins 5 --quiet --json"));
    EXPECT_EQ(report["settings"].dump(),
              R"({"mode":"Sequential","system":"Donald","initial_bet":3,"safe_level":2,)"
              R"("fixed_matrix":true,"reset_on":"ONLY +","increase_till":7,)"
              R"("progression":"+ Init. Bet","m_count":4,"w_count":5})");
    std::remove(out.c_str());
}

} // namespace
