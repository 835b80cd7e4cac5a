// Recorded spins: one number from 0 to 36 a line, blank lines and comments
// allowed; any other line stops the run before anything is played.
#include "engine.h"
#include "headless_driver.h"
#include "session_file.h"
#include "spin_history.h"
#include "spins_file.h"
#include "tracker.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace vantel::sim {
namespace {

struct GoodCase {
    const char* text;
    std::vector<int> spins;
};

TEST(SpinsFile, ReadsNumbersSkippingBlankLinesAndComments) {
    const GoodCase cases[] = {
        {"0\n36\n", {0, 36}},
        {"17", {17}},
        {"  5  \n\t7\t\n", {5, 7}},
        {"# recorded at table 3\n1\n\n2\n", {1, 2}},
        {"3 # after the break\n04\n", {3, 4}},
        {"1\r\n2\r\n", {1, 2}},
        {"\n\n9\n\n", {9}},
        {"\xef\xbb\xbf"
         "8\n",
         {8}}, // as some editors save it
    };
    for (const GoodCase& c : cases)
        EXPECT_EQ(parseSpins(c.text, "f"), c.spins) << c.text;
}

struct BadCase {
    const char* text;
    int line;
    const char* shown;
};

TEST(SpinsFile, ABadLineIsNamedByFileLineAndText) {
    const BadCase cases[] = {
        {"37\n", 1, "'37'"},
        {"1\n-1\n", 2, "'-1'"},
        {"1\n2\n+3\n", 3, "'+3'"},
        {"1\n2\nred\n", 3, "'red'"},
        {"1 2\n", 1, "'1 2'"},
        {"3.0\n", 1, "'3.0'"},
        {"1\n100\n", 2, "'100'"},
        {"0x1\n", 1, "'0x1'"},
        {"1\n2\n7 #x\r\n9z\n", 4, "'9z'"},
        {"1\n99999999999999999999\n", 2, "'99999999999999999999'"},
    };
    for (const BadCase& c : cases) {
        try {
            parseSpins(c.text, "spins.txt");
            ADD_FAILURE() << "accepted " << c.text;
        } catch (const SpinsFileError& e) {
            EXPECT_EQ(e.line(), c.line) << c.text;
            const std::string message = e.what();
            EXPECT_EQ(message.rfind("spins.txt:" + std::to_string(c.line) + ": ", 0), 0u)
                << message;
            EXPECT_NE(message.find(c.shown), std::string::npos) << message;
        }
    }
}

TEST(SpinsFile, AFileWithoutSpinsOrThatCannotBeReadIsRefused) {
    for (const char* text : {"", "\n\n", "# nothing yet\n"})
        EXPECT_THROW(parseSpins(text, "f"), SpinsFileError) << text;
    EXPECT_THROW(readSpinsFile("/nonexistent/spins.txt"), SpinsFileError);
    EXPECT_THROW(readSpinsFile("/tmp"), SpinsFileError);
    // A device is never read: /dev/zero would fill memory, a pipe wait for ever.
    try {
        readSpinsFile("/dev/zero");
        ADD_FAILURE() << "a device was read as spins";
    } catch (const SpinsFileError& e) {
        EXPECT_STREQ(e.what(), "/dev/zero: it is not a regular file (a pipe, device or socket)");
    }
}

TEST(SpinsFile, BadLineThreeOfAFileIsReportedAsLineThree) {
    const std::string path = ::testing::TempDir() + "vantel_bad_line3.txt";
    std::ofstream(path) << "12\n# comment\nforty\n5\n";
    try {
        readSpinsFile(path);
        ADD_FAILURE() << "the bad line was accepted";
    } catch (const SpinsFileError& e) {
        EXPECT_EQ(e.line(), 3);
        EXPECT_EQ(std::string(e.what()), path + ":3: 'forty' is not a number from 0 to 36");
    }
    std::remove(path.c_str());
}

// The text of a session of the given spins, saved as the window saves it.
std::string sessionOf(const std::vector<int>& spins) {
    Tracker tracker;
    HeadlessDriver driver{tracker};
    SpinHistory history{tracker};
    tracker.clock().fixCalendar(1700000000);
    for (int n : spins) {
        driver.spin(n);
        driver.runUntilIdle();
    }
    Session s;
    s.entered = history.entered();
    s.tracker = tracker.snapshot();
    s.undo = history.undoSteps();
    return sessionText(s);
}

TEST(SpinsFile, ASessionGivesTheSpinsEnteredInItAndIsRefusedWholeWhenDamaged) {
    const std::vector<int> spins = {5, 0, 36, 12, 12, 7, 30, 1};
    const std::string text = sessionOf(spins);
    EXPECT_EQ(spinsOfText(text, "night.vantel"), spins);
    EXPECT_EQ(spinsOfText("\xef\xbb\xbf\n" + text, "night.vantel"), spins);
    const std::string path = ::testing::TempDir() + "vantel_session_spins.vantel";
    std::ofstream(path) << text;
    EXPECT_EQ(readSpinsFile(path), spins);
    std::remove(path.c_str());

    const std::pair<std::string, const char*> refused[] = {
        {text.substr(0, text.size() / 2), "night.vantel: not opened, it is truncated"},
        {sessionOf({}), "night.vantel: no spins in the session"},
        {"{\"spins\": [1, 2]}", "night.vantel: not opened, it is not a Vantel session file"},
    };
    for (const auto& [bad, says] : refused) {
        try {
            spinsOfText(bad, "night.vantel");
            ADD_FAILURE() << "accepted: " << says;
        } catch (const SpinsFileError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(says, 0), 0u) << e.what();
            EXPECT_EQ(e.line(), 0);
        }
    }
    // A plain file is still read line by line.
    EXPECT_EQ(spinsOfText("4\n5\n", "f"), (std::vector<int>{4, 5}));
    EXPECT_THROW(spinsOfText("4\n{\n", "f"), SpinsFileError);
}

} // namespace
} // namespace vantel::sim
