// The session file: what is written reads back as exactly the session saved,
// a tracker opened from it goes on exactly as the one saved, and every file
// that is not a whole, valid session is refused with one sentence naming the
// file and the fault.
#include "headless_driver.h"
#include "session_file.h"
#include "spin_history.h"
#include "tracker.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <random>

namespace vantel::testing {
namespace {

using json = nlohmann::json;

bool sameSnapshot(const Snapshot& a, const Snapshot& b) {
    return std::memcmp(&a.state, &b.state, sizeof a.state) == 0 &&
           a.generator.state() == b.generator.state() && a.numbersCount == b.numbersCount &&
           a.Prediction_List == b.Prediction_List &&
           a.Classic_Numbers_Cur1 == b.Classic_Numbers_Cur1 &&
           a.Classic_Numbers_Cur2 == b.Classic_Numbers_Cur2 &&
           a.Classic_Numbers_Cur3 == b.Classic_Numbers_Cur3 &&
           a.Sequential_Numbers_Cur == b.Sequential_Numbers_Cur &&
           a.Mode2_Numbers_Cur == b.Mode2_Numbers_Cur && a.currentNum == b.currentNum &&
           a.actNumbers == b.actNumbers && a.historyText == b.historyText &&
           a.historyColour == b.historyColour && a.betText == b.betText &&
           a.progressBar == b.progressBar && a.timers == b.timers;
}

bool sameOutlay(const SpinOutlay& a, const SpinOutlay& b) {
    return a.stake == b.stake && a.lit == b.lit && a.staked == b.staked &&
           a.returned == b.returned && a.hit == b.hit;
}

void expectSameSession(const Session& a, const Session& b) {
    const SessionSettings &x = a.settings, &y = b.settings;
    EXPECT_EQ(x.gameMode, y.gameMode);
    EXPECT_EQ(x.bettingSystem, y.bettingSystem);
    EXPECT_EQ(x.initialBet, y.initialBet);
    EXPECT_EQ(x.safeLevel, y.safeLevel);
    EXPECT_EQ(x.fixedMatrix, y.fixedMatrix);
    EXPECT_EQ(x.mode3Reset, y.mode3Reset);
    EXPECT_EQ(x.increaseTill, y.increaseTill);
    EXPECT_EQ(x.progression, y.progression);
    EXPECT_EQ(x.sequentialLosses, y.sequentialLosses);
    EXPECT_EQ(x.sequentialWins, y.sequentialWins);
    ASSERT_EQ(a.entered.size(), b.entered.size());
    for (size_t i = 0; i < a.entered.size(); ++i) {
        EXPECT_EQ(a.entered[i].number, b.entered[i].number) << "spin " << i;
        EXPECT_TRUE(sameOutlay(a.entered[i].outlay, b.entered[i].outlay)) << "spin " << i;
    }
    EXPECT_TRUE(sameSnapshot(a.tracker, b.tracker));
    ASSERT_EQ(a.undo.size(), b.undo.size());
    for (size_t i = 0; i < a.undo.size(); ++i) {
        EXPECT_EQ(a.undo[i].number, b.undo[i].number) << "undo " << i;
        EXPECT_TRUE(sameSnapshot(a.undo[i].before, b.undo[i].before)) << "undo " << i;
    }
    EXPECT_EQ(a.redo, b.redo);
}

// A tracker played without a window, with its undo history; the calendar stands
// still, so two of them given the same spins draw the same numbers.
struct Table {
    Table() { tracker.clock().fixCalendar(1700000000); }
    void play(int n) {
        driver.spin(n);
        driver.runUntilIdle();
    }
    Session save() {
        Session s;
        s.settings.gameMode = tracker.settings().gameMode;
        s.settings.bettingSystem = tracker.settings().bettingSystem;
        s.settings.initialBet = tracker.readSetting(vantel::SpinSetting::InitialBet);
        s.settings.safeLevel = tracker.settings().safeLevel;
        s.settings.fixedMatrix = tracker.settings().fixedMatrix;
        s.settings.mode3Reset = tracker.settings().mode3Reset;
        s.settings.increaseTill = tracker.readSetting(vantel::SpinSetting::IncreaseTill);
        s.settings.progression = tracker.settings().progression;
        s.settings.sequentialLosses = tracker.readSetting(vantel::SpinSetting::MCount);
        s.settings.sequentialWins = tracker.readSetting(vantel::SpinSetting::WCount);
        s.entered = history.entered();
        s.tracker = tracker.snapshot();
        s.undo = history.undoSteps();
        s.redo = history.redoNumbers();
        return s;
    }
    // As the window opens a session: settings, then the tracker, then the history.
    void open(Session s) {
        tracker.setGameMode(s.settings.gameMode);
        tracker.setBettingSystem(s.settings.bettingSystem);
        tracker.typeSettingText(vantel::SpinSetting::InitialBet,
                                std::to_string(s.settings.initialBet));
        tracker.setSafeLevel(s.settings.safeLevel);
        tracker.setFixedMatrix(s.settings.fixedMatrix);
        tracker.setMode3Reset(s.settings.mode3Reset);
        tracker.typeSettingText(vantel::SpinSetting::IncreaseTill,
                                std::to_string(s.settings.increaseTill));
        tracker.setProgression(s.settings.progression);
        tracker.typeSettingText(vantel::SpinSetting::MCount,
                                std::to_string(s.settings.sequentialLosses));
        tracker.typeSettingText(vantel::SpinSetting::WCount,
                                std::to_string(s.settings.sequentialWins));
        tracker.restore(s.tracker);
        tracker.NumbersList.clear();
        for (const EnteredSpin& e : s.entered)
            tracker.NumbersList.append(int64_t{e.number});
        history.load(std::move(s.undo), std::move(s.redo), std::move(s.entered));
    }

    Tracker tracker;
    HeadlessDriver driver{tracker};
    SpinHistory history{tracker};
};

// Random settings, spins, undos and redos; the settings also change on the way.
void playRandomly(Table& t, std::mt19937& random, int spins) {
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto settle = [&] {
        t.tracker.setGameMode(pick(3));
        t.tracker.setBettingSystem(pick(2) ? "Donald" : "Martingale");
        t.tracker.setSafeLevel(pick(3));
        t.tracker.setFixedMatrix(pick(3) == 0);
        t.tracker.setMode3Reset(pick(3));
        t.tracker.setProgression(pick(2));
        t.tracker.typeSettingText(vantel::SpinSetting::InitialBet, std::to_string(1 + pick(20)));
        t.tracker.typeSettingText(vantel::SpinSetting::IncreaseTill, std::to_string(1 + pick(35)));
        t.tracker.typeSettingText(vantel::SpinSetting::MCount, std::to_string(1 + pick(4)));
        t.tracker.typeSettingText(vantel::SpinSetting::WCount, std::to_string(1 + pick(4)));
    };
    settle();
    for (int i = 0; i < spins; ++i) {
        const int what = pick(30);
        if (what == 0) {
            settle();
        } else if (what <= 2) {
            t.history.undo();
        } else if (what == 3) {
            t.history.redo();
            t.driver.runUntilIdle();
        } else {
            t.play(pick(37));
        }
    }
}

TEST(SessionFile, ReadsBackExactlyWhatWasSavedAndGoesOnAsTheTrackerSaved) {
    std::mt19937 random(20261209);
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        Table played;
        playRandomly(played, random, 20 + 25 * round);
        // Sometimes saved with spins to enter again.
        if (round % 3 == 1)
            for (int i = 0; i < 3; ++i)
                played.history.undo();
        const Session saved = played.save();
        const std::string text = sessionText(saved);
        const Session read = parseSession(text, "night.vantel");
        expectSameSession(saved, read);
        EXPECT_EQ(sessionText(read), text) << "writing is deterministic";

        Table opened;
        opened.open(read);
        expectSameSession(played.save(), opened.save());
        EXPECT_EQ(opened.tracker.NumbersList, played.tracker.NumbersList);
        // The same next spins, undos and redos give the same sessions.
        std::mt19937 a(static_cast<unsigned>(round)), b(static_cast<unsigned>(round));
        playRandomly(played, a, 40);
        playRandomly(opened, b, 40);
        expectSameSession(played.save(), opened.save());
        EXPECT_EQ(opened.tracker.NumbersList, played.tracker.NumbersList);
        // Undo reaches as far back as it did in the session saved.
        size_t undone = 0;
        while (opened.history.undo() == HistoryStep::Done) {
            ASSERT_EQ(played.history.undo(), HistoryStep::Done);
            ASSERT_TRUE(sameSnapshot(opened.tracker.snapshot(), played.tracker.snapshot()))
                << "after undo " << undone;
            ++undone;
        }
        EXPECT_EQ(played.history.undo(), HistoryStep::Nothing);
        EXPECT_GE(undone, std::min<size_t>(saved.entered.size(), SpinHistory::kDefaultDepth));
    }
}

TEST(SessionFile, AThousandSpinsWithTheirUndoStepsTakeUnderSixHundredBytesASpin) {
    for (int mode = 0; mode < 3; ++mode) {
        std::mt19937 random(7);
        Table t;
        t.tracker.setGameMode(mode);
        for (int i = 0; i < 1000; ++i)
            t.play(static_cast<int>(random() % 37));
        const Session s = t.save();
        ASSERT_EQ(s.undo.size(), 1000u);
        const std::string text = sessionText(s);
        std::printf("[ size ] 1000 spins in game mode %d: %zu bytes\n", mode, text.size());
        EXPECT_LT(text.size(), 600000u) << "mode " << mode;
        expectSameSession(s, parseSession(text, "long.vantel"));
    }
}

TEST(SessionFile, ASessionWithNoSpinsReadsBack) {
    Table t;
    const Session s = t.save();
    expectSameSession(s, parseSession(sessionText(s), "empty.vantel"));
}

// ---- Refusals ----

// A small valid session to damage.
std::string validText() {
    Table t;
    t.tracker.setGameMode(1);
    for (int n : {3, 17, 22, 0, 35, 17, 9, 14})
        t.play(n);
    return sessionText(t.save());
}

// The file written again with the checksum made to fit the changed contents,
// so that the checks behind the checksum are reached.
std::string resealed(json file) {
    file["checksum"] = "fnv1a64:" + [&] {
        char buf[17];
        std::snprintf(buf, sizeof buf, "%016llx",
                      static_cast<unsigned long long>(fnv1a64(file["content"].dump())));
        return std::string(buf);
    }();
    return file.dump();
}

std::string editedContent(const std::function<void(json&)>& edit) {
    json file = json::parse(validText());
    edit(file["content"]);
    return resealed(file);
}

std::string message(const std::string& text) {
    try {
        parseSession(text, "/home/p/night.vantel");
    } catch (const SessionFileError& e) {
        return e.what();
    }
    return "(opened)";
}

TEST(SessionFile, RefusesEveryDamagedOrForeignFileNamingTheFileAndTheFault) {
    const std::string valid = validText();
    ASSERT_EQ(message(valid), "(opened)");
    json file = json::parse(valid);
    auto withFile = [&](const std::function<void(json&)>& edit) {
        json f = file;
        edit(f);
        return f.dump();
    };
    std::string flipped = valid;
    flipped[flipped.find("\"spins\": [") + 10] ^= 1; // a digit of the first spin

    struct Case {
        const char* what;
        std::string text;
        const char* says;
    };
    const std::vector<Case> cases = {
        {"empty", "", "not a Vantel session file"},
        {"plain spins", "17\n3\n", "not a Vantel session file"},
        {"too large", "{" + std::string(kSessionMaxBytes, ' ') + "}",
         "8,388,610 bytes long, more than a session file can be (8,388,608)"},
        {"another JSON", "{\"name\": \"x\"}", "not a Vantel session file"},
        {"a list", "[1, 2]", "not a Vantel session file"},
        {"no format", withFile([](json& f) { f.erase("format"); }), "not a Vantel session file"},
        {"next version", withFile([](json& f) { f["version"] = 2; }),
         "session file of version 2; this program reads version 1"},
        {"no version", withFile([](json& f) { f.erase("version"); }), "no version number"},
        {"a digit changed", flipped, "checksum does not match"},
        {"checksum changed", withFile([](json& f) { f["checksum"] = "fnv1a64:0000000000000000"; }),
         "checksum does not match"},
        {"no checksum", withFile([](json& f) { f.erase("checksum"); }), "checksum or contents"},
        {"a number past a double", "{\"format\": \"vantel-session\", \"version\": 35e65361}",
         "a number too large to read"},
        {"not JSON inside", "{\"format\": \"vantel-session\", x}", "not valid JSON at byte"},
        {"cut short", valid.substr(0, valid.size() / 2), "truncated"},
        {"cut at the last brace", valid.substr(0, valid.rfind('}')), "truncated"},
        {"nested deep", std::string(100, '[') + std::string(100, ']'), "not a Vantel session file"},
        {"nested deep in an object", "{\"a\":" + std::string(40, '[') + std::string(40, ']') + "}",
         "nests too deeply"},
        {"initial bet 0", editedContent([](json& c) { c["settings"]["initialBet"] = 0; }),
         "out of range: Init. Bet is 0, not 1 to 10000"},
        {"initial bet 10001", editedContent([](json& c) { c["settings"]["initialBet"] = 10001; }),
         "Init. Bet is 10001"},
        {"game mode 3", editedContent([](json& c) { c["settings"]["gameMode"] = 3; }),
         "Game Mode is 3, not 0 to 2"},
        {"unknown system",
         editedContent([](json& c) { c["settings"]["bettingSystem"] = "Labouchere"; }),
         "Betting System is \"Labouchere\""},
        {"safe level as text", editedContent([](json& c) { c["settings"]["safeLevel"] = "2"; }),
         "Safe Level is not a whole number"},
        {"a fraction", editedContent([](json& c) { c["settings"]["safeLevel"] = 1.5; }),
         "Safe Level is not a whole number"},
        {"a setting missing", editedContent([](json& c) { c["settings"].erase("progression"); }),
         "not opened, Progression is missing"},
        {"spin 37", editedContent([](json& c) { c["spins"][2] = 37; }),
         "the spin at position 3 is 37, not 0 to 36"},
        {"spin -1", editedContent([](json& c) { c["spins"][0] = -1; }),
         "the spin at position 1 is -1"},
        {"spin beyond 64 bits",
         editedContent([](json& c) { c["spins"][0] = 18446744073709551615ull; }),
         "the spin at position 1 is 18,446,744,073,709,551,615, beyond 36"},
        {"a hit with no stake", editedContent([](json& c) {
             c["spins"][7] = {5, 0, 3, true};
         }),
         "a hit with nothing staked"},
        {"an outlay of three", editedContent([](json& c) {
             c["spins"][7] = {5, 1, 3};
         }),
         "the spin at position 8 holds 3 entries, not 4"},
        {"lit 38", editedContent([](json& c) {
             c["spins"][7] = {5, 1, 38, false};
         }),
         "the count of lit numbers of the spin at position 8 is 38"},
        {"too many spins", editedContent([](json& c) {
             c["spins"] = json::array();
             for (size_t i = 0; i <= kSessionMaxSpins; ++i)
                 c["spins"].push_back(1);
         }),
         "the list of spins holds 200,001 entries, more than 200,000"},
        {"a listed number 37",
         editedContent([](json& c) { c["tracker"]["lists"]["Mode2_Numbers_Cur"][0] = 37; }),
         "the board's saved state (lists.Mode2_Numbers_Cur[0]) is 37"},
        {"a text line",
         editedContent([](json& c) { c["tracker"]["lists"]["Prediction_List"] = {"x"}; }),
         "(lists.Prediction_List[0]) is not a whole number"},
        {"19 predicted", editedContent([](json& c) {
             c["tracker"]["lists"]["Prediction_List"] = std::vector<int>(19, 1);
         }),
         "(lists.Prediction_List) holds 19 entries, more than 18"},
        {"lit twice", editedContent([](json& c) {
             c["tracker"]["lit"] = {4, 4};
         }),
         "(lit[1]) is 4, not 5 to 36"},
        {"eleven cells", editedContent([](json& c) { c["tracker"]["historyText"].push_back("1"); }),
         "(historyText) holds 11 entries"},
        {"a colour past white",
         editedContent([](json& c) { c["tracker"]["historyColour"][0] = 0x1000000; }),
         "(historyColour[0]) is 16,777,216, not 0 to 16,777,215"},
        {"a bad generator", editedContent([](json& c) { c["tracker"]["generator"] = "12xz"; }),
         "(generator) is not 16 hexadecimal digits"},
        {"a step past the draw",
         editedContent([](json& c) { c["tracker"]["state"]["Classic_Step"] = 20; }),
         "(state.Classic_Step) is 20, not 0 to 19"},
        {"a counter at the top",
         editedContent([](json& c) { c["tracker"]["state"]["Sequential_Count"] = 2147483647; }),
         "(state.Sequential_Count) is 2,147,483,647, not 0 to 18"},
        {"a state field missing",
         editedContent([](json& c) { c["tracker"]["state"].erase("Balance_Value"); }),
         "the board's saved state (state.Balance_Value) is missing"},
        {"a balance past 32 bits",
         editedContent([](json& c) { c["tracker"]["state"]["Balance_Value"] = 2147483648; }),
         "(state.Balance_Value) is 2,147,483,648"},
        {"the spin count wrong", editedContent([](json& c) { c["tracker"]["numbersCount"] = 7; }),
         "(numbersCount) is 7, not 8"},
        {"saved mid-draw",
         editedContent([](json& c) { c["tracker"]["timers"]["Mode2"]["on"] = true; }),
         "saved while the board was locked"},
        {"progress 19", editedContent([](json& c) { c["tracker"]["progressBar"] = 19; }),
         "(progressBar) is 19"},
        {"undo of another number", editedContent([](json& c) { c["undo"][7]["number"] = 1; }),
         "the spin to take back at position 8 is 1, not the spin it takes back (14)"},
        {"undo deeper than the spins",
         editedContent([](json& c) { c["undo"].push_back(c["undo"][0]); }),
         "the list of spins to take back holds 9 spins, more than the 8 spins entered"},
        {"an undo step damaged", editedContent([](json& c) {
             c["undo"][3]["before"]["state"] = {{"Last_Win", 5}};
         }),
         "the board before the spin to take back at position 4 (state.Last_Win) is 5, not 0 to 1"},
        {"an undo step not an object", editedContent([](json& c) { c["undo"][2]["before"] = 1; }),
         "the board before the spin to take back at position 3 is not a JSON object"},
        {"one entry", editedContent([](json& c) { c["spins"][7] = {5}; }),
         "the spin at position 8 holds 1 entry, not 4"},
        {"one character too many",
         editedContent([](json& c) { c["settings"]["bettingSystem"] = std::string(17, 'x'); }),
         "Betting System is 17 characters long, more than 16"},
        {"the hit mark", editedContent([](json& c) {
             c["spins"][7] = {5, 1, 3, 1};
         }),
         "the hit mark of the spin at position 8 is not true or false"},
        {"redo 40", editedContent([](json& c) { c["redo"] = {40}; }),
         "the spin to enter again at position 1 is 40"},
        {"no content", withFile([](json& f) { f["content"] = 5; }), "checksum or contents"},
    };
    for (const Case& c : cases) {
        const std::string said = message(c.text);
        EXPECT_EQ(said.rfind("/home/p/night.vantel: not opened, ", 0), 0u)
            << c.what << ": " << said;
        EXPECT_NE(said.find(c.says), std::string::npos) << c.what << ": " << said;
        EXPECT_EQ(said.find('\n'), std::string::npos) << c.what << ": " << said;
    }
}

TEST(SessionFile, EveryShorterPieceOfAFileIsRefused) {
    const std::string valid = validText();
    const size_t end = valid.rfind('}');
    for (size_t cut = 0; cut <= end; cut += 1 + cut / 40) {
        // Only the white space after the last brace may go.
        const std::string piece = valid.substr(0, cut);
        EXPECT_NE(message(piece), "(opened)") << "cut at " << cut;
    }
    EXPECT_EQ(message(valid.substr(0, valid.rfind('}') + 1)), "(opened)");
}

TEST(SessionFile, ReadsFromDiskAndRefusesWhatIsNoFile) {
    const std::string path = ::testing::TempDir() + "session_file_test.vantel";
    {
        std::ofstream out(path, std::ios::binary);
        out << "\xef\xbb\xbf" << validText();
    }
    EXPECT_EQ(readSessionFile(path).entered.size(), 8u) << "a byte-order mark is allowed";
    std::remove(path.c_str());
    try {
        readSessionFile(path);
        ADD_FAILURE() << "a missing file opened";
    } catch (const SessionFileError& e) {
        EXPECT_EQ(std::string(e.what()), path + ": not opened, the file cannot be read");
    }
    EXPECT_THROW(readSessionFile(::testing::TempDir()), SessionFileError);
    EXPECT_TRUE(looksLikeSession(" \n{"));
    EXPECT_FALSE(looksLikeSession("17\n{"));
}

TEST(SessionFile, TheChecksumIsFnv1a64) {
    // The published test values of the 64-bit FNV-1a hash.
    EXPECT_EQ(fnv1a64(""), 0xcbf29ce484222325ull);
    EXPECT_EQ(fnv1a64("a"), 0xaf63dc4c8601ec8cull);
    EXPECT_EQ(fnv1a64("foobar"), 0x85944171f73967e8ull);
}

} // namespace
} // namespace vantel::testing
