#include "widgets/cspinedit.h"

#include "widgets/beeper.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QImage>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

// Fires a repeat timer as if its interval had run out.
void fire(QTimer* timer) {
    QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
}

// A shown, active window with the stake setting (1 to 10000, value 1, 41 x 19,
// Arial 9 bold) and a second control to move the focus to. The change handler
// reads the value, as the main window's handler does.
class TCSpinEditStake : public ::testing::Test {
  protected:
    void SetUp() override {
        Beeper::setSink([this] { ++beeps; });
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(9);
        font.setBold(true);
        edit->setFont(font);
        edit->setGeometry(8, 8, 41, 19);
        other->setGeometry(60, 8, 40, 19);
        edit->setMaxValue(10000);
        edit->setMinValue(1);
        edit->setValue(1);
        edit->OnChange = [this] {
            changes.push_back(edit->text());
            edit->Value();
        };
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
    }
    void TearDown() override {
        edit->OnChange = nullptr;
        Beeper::setSink(nullptr);
    }

    // A text as the player could have typed it; changes and beeps count from here.
    void start(const char* text) {
        edit->setFocus();
        edit->setText(QString::fromLatin1(text));
        changes.clear();
        beeps = 0;
    }
    void leave() {
        other->setFocus();
        ASSERT_FALSE(edit->hasFocus());
    }

    QWidget window;
    TCSpinEdit* edit = new TCSpinEdit(&window);
    QLineEdit* other = new QLineEdit(&window);
    int beeps = 0;
    QStringList changes;
};

TEST_F(TCSpinEditStake, ClearingFallsBackToOneAndRaisesTheChangeTwice) {
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "1");
    // The second change comes from the handler's read, inside the first.
    EXPECT_EQ(changes, QStringList({"", "1"}));
    EXPECT_EQ(beeps, 0);
}

TEST_F(TCSpinEditStake, TypedTextsReadAsTypedUntilLeavingAndFallBackWhenNoInteger) {
    struct Case {
        const char* start;
        Qt::Key place; // Home, End, or A for select-all (Ctrl+A)
        const char* typed;
        const char* afterTyping;
        int32_t value;
        const char* afterLeaving;
        int changes;
    };
    const Case cases[] = {
        {"5", Qt::Key_End, " ", "1", 1, "1", 2},
        {"5", Qt::Key_End, ".", "1", 1, "1", 2},
        {"1", Qt::Key_A, "0", "0", 0, "1", 2},
        {"1", Qt::Key_A, "99999", "99999", 99999, "10000", 6},
        {"1", Qt::Key_Home, "-", "-1", -1, "1", 2},
        {"1", Qt::Key_A, "-", "1", 1, "1", 2},
        {"1", Qt::Key_A, "$", "1", 1, "1", 2},
        {"10", Qt::Key_Home, "$", "$10", 16, "$10", 1},
        {"1", Qt::Key_End, "5", "15", 15, "15", 1},
        {"5", Qt::Key_A, "5", "5", 5, "5", 0}, // the line edit signals this no-op edit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " + " + c.typed);
        start(c.start);
        QTest::keyClick(edit, c.place, c.place == Qt::Key_A ? Qt::ControlModifier : Qt::NoModifier);
        QTest::keyClicks(edit, QString::fromLatin1(c.typed));
        EXPECT_EQ(edit->text(), c.afterTyping);
        EXPECT_EQ(edit->Value(), c.value);
        leave();
        EXPECT_EQ(edit->text(), c.afterLeaving);
        EXPECT_EQ(changes.size(), c.changes) << changes.join('|').toStdString();
        EXPECT_EQ(beeps, 0);
    }
}

TEST_F(TCSpinEditStake, AContextMenuOrAnotherWindowIsNoLeave) {
    start("0");
    for (Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(edit, &out);
        EXPECT_EQ(edit->text(), "0");
    }
    leave();
    EXPECT_EQ(edit->text(), "1");
}

TEST_F(TCSpinEditStake, StepsClampAndChangeNothingAtTheBounds) {
    struct Case {
        const char* start;
        int step; // 0 up arrow, 1 down arrow, 2 Up key, 3 Down key
        bool readOnly;
        const char* after;
        int changes;
        int beeps;
    };
    const Case cases[] = {
        {"10000", 0, false, "10000", 0, 0}, {"1", 1, false, "1", 0, 0},
        {"10000", 2, false, "10000", 0, 0}, {"1", 3, false, "1", 0, 0},
        {"1", 0, false, "2", 1, 0},         {"10000", 3, false, "9999", 1, 0},
        {"0", 0, false, "1", 1, 0},         {"99999", 1, false, "10000", 1, 0},
        {"$10", 2, false, "17", 1, 0},      {"5", 0, true, "5", 0, 1},
        {"5", 3, true, "5", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " step " + std::to_string(c.step));
        edit->setReadOnly(c.readOnly);
        start(c.start);
        if (c.step == 0) QTest::mouseClick(edit->Button()->UpButton(), Qt::LeftButton);
        if (c.step == 1) QTest::mouseClick(edit->Button()->DownButton(), Qt::LeftButton);
        if (c.step == 2) QTest::keyClick(edit, Qt::Key_Up);
        if (c.step == 3) QTest::keyClick(edit, Qt::Key_Down);
        EXPECT_EQ(edit->text(), c.after);
        EXPECT_EQ(changes.size(), c.changes);
        EXPECT_EQ(beeps, c.beeps);
    }
}

TEST_F(TCSpinEditStake, PasteGoesThroughUnlessReadOnlyAndFollowsTheReadingRules) {
    struct Case {
        const char* clip;
        bool readOnly;
        QStringList changes;
    };
    const Case cases[] = {{"250", false, {"250"}}, {"abc", false, {"abc", "1"}}, {"7", true, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clip);
        edit->setReadOnly(c.readOnly);
        start("1");
        QApplication::clipboard()->setText(QString::fromLatin1(c.clip));
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(changes, c.changes);
        EXPECT_EQ(edit->text(), c.changes.isEmpty() ? "1" : c.changes.back());
    }
}

TEST_F(TCSpinEditStake, EnteringSelectsTheTextOnlyWithAutoSelectAndNotByMouse) {
    struct Case {
        bool autoSelect;
        Qt::FocusReason reason;
        bool selected;
    };
    const Case cases[] = {{false, Qt::TabFocusReason, false},
                          {true, Qt::TabFocusReason, true},
                          {true, Qt::MouseFocusReason, false}};
    start("123");
    for (const Case& c : cases) {
        leave();
        edit->deselect();
        edit->setAutoSelect(c.autoSelect);
        edit->setFocus(c.reason);
        EXPECT_EQ(edit->hasSelectedText(), c.selected) << c.autoSelect << c.reason;
    }
}

TEST_F(TCSpinEditStake, ArrowPairSitsInsideTheFrameAndTextStopsLeftOfIt) {
    ASSERT_EQ(edit->size(), QSize(41, 19));
    const QRect client = edit->ClientRect();
    EXPECT_EQ(edit->Button()->geometry(), QRect(client.left() + 21, client.top(), 15, 14));
    EXPECT_TRUE(client.contains(edit->Button()->geometry()));
    EXPECT_EQ(edit->Button()->UpButton()->geometry(), QRect(0, 0, 15, 7));
    EXPECT_EQ(edit->Button()->DownButton()->geometry(), QRect(0, 6, 15, 8));

    QTest::keyClicks(edit, QStringLiteral("0000"));
    edit->grab(); // the line edit scrolls its text when it paints
    // The cursor rectangle is padded on both sides of the cursor line.
    const int cursorLine = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    EXPECT_LT(cursorLine, edit->Button()->x());

    edit->resize(52, 23);
    EXPECT_EQ(edit->Button()->geometry(), QRect(client.left() + 32, client.top(), 15, 18));
    EXPECT_EQ(edit->Button()->DownButton()->geometry(), QRect(0, 8, 15, 10));
}

TEST_F(TCSpinEditStake, ALowerHeightIsRaisedToTheFontsMinimum) {
    QFont big = edit->font();
    big.setPixelSize(30);
    edit->setFont(big);
    const int line = QFontMetrics(big).height();
    const int minimum = line + std::min(line, QFontMetrics(QApplication::font()).height()) / 4 + 6;
    edit->resize(41, 19);
    EXPECT_EQ(edit->height(), minimum);
    EXPECT_EQ(edit->Button()->height(), minimum - 5);
}

TEST_F(TCSpinEditStake, ArrowGlyphsAreTrianglesSevenPixelsAtTheBase) {
    // The black pixel counts of the glyph cell's rows that hold any.
    auto rows = [](QWidget* button) {
        const QImage image = button->grab().toImage();
        const int left = (button->width() - TTimerSpeedButton::GlyphWidth) / 2;
        std::vector<int> counts;
        for (int y = 0; y < image.height(); ++y) {
            int black = 0;
            for (int x = left; x < left + TTimerSpeedButton::GlyphWidth; ++x)
                black += image.pixel(x, y) == qRgb(0, 0, 0);
            if (black > 0) counts.push_back(black);
        }
        return counts;
    };
    EXPECT_EQ(rows(edit->Button()->UpButton()), (std::vector<int>{1, 3, 5, 7}));
    EXPECT_EQ(rows(edit->Button()->DownButton()), (std::vector<int>{7, 5, 3, 1}));
}

TEST(TCSpinEditKeys, RefusedCharactersBeepAndChangeNothing) {
    struct Case {
        const char* start;
        int cursor;
        Qt::Key key;
        QString text;
        const char* after;
        int beeps;
    };
    const Case cases[] = {
        {"5", 1, Qt::Key_Return, "\r", "5", 1},
        {"5", 1, Qt::Key_Enter, "\r", "5", 1},
        {"5", 1, Qt::Key_A, "a", "5", 1},
        {"5", 1, Qt::Key_Z, "Z", "5", 1},
        {"5", 1, Qt::Key_Colon, ":", "5", 1}, // code 58, above the bound of 50
        {"5", 1, Qt::Key_2, "2", "52", 0},
        {"5", 1, Qt::Key_Space, " ", "5 ", 0},
        {"5", 1, Qt::Key_Slash, "/", "5/", 0},
        {"5", 1, Qt::Key_Eacute, QString(QChar(0xE9)), "5\xC3\xA9", 0},
        {"52", 2, Qt::Key_Backspace, "\b", "5", 0},
        {"52", 0, Qt::Key_Delete, "\x7f", "2", 0}, // a key, not the character 127
    };
    int beeps = 0;
    Beeper::setSink([&beeps] { ++beeps; });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        TCSpinEdit edit;
        edit.setText(QString::fromLatin1(c.start));
        edit.setCursorPosition(c.cursor);
        beeps = 0;
        QTest::sendKeyEvent(QTest::Click, &edit, c.key, c.text, Qt::NoModifier);
        EXPECT_EQ(edit.text(), QString::fromUtf8(c.after));
        EXPECT_EQ(beeps, c.beeps);
    }
    Beeper::setSink(nullptr);
}

// The rules themselves live in core and are tested there; what the widget adds
// is their wiring: the arrow, the key, the leave on focus loss and the change
// reports, which must match the headless edit step for step.
// Steps: "=text" types a text, "r" reads, "w<n>" writes, "u"/"d" step, "l" leaves.
class TCSpinEditTwin : public TCSpinEditStake {};

TEST_F(TCSpinEditTwin, BehavesLikeTheHeadlessSpinValue) {
    struct Case {
        vantel::SpinBounds bounds;
        int32_t initial;
        std::vector<std::string> steps;
    };
    const Case cases[] = {
        {{1, 10000, 1},
         1,
         {"=", "r", "=0", "l", "=$10", "u", "=x", "d", "w5000000000", "u", "=99999", "r", "l",
          "=-5", "d", "w1", "= 12", "l"}},
    };
    for (const Case& c : cases) {
        edit->OnChange = nullptr;
        edit->setMaxValue(c.bounds.max);
        edit->setMinValue(c.bounds.min);
        edit->setIncrement(c.bounds.increment);
        edit->setValue(c.initial);
        vantel::SpinValue twin(c.bounds, c.initial);
        int editChanges = 0;
        int twinChanges = 0;
        edit->OnChange = [&editChanges] { ++editChanges; };
        twin.OnChange = [&twinChanges] { ++twinChanges; };
        for (const std::string& s : c.steps) {
            SCOPED_TRACE(std::to_string(c.initial) + ": " + s);
            edit->setFocus();
            const std::string arg = s.substr(1);
            switch (s[0]) {
            case '=':
                edit->setText(QString::fromStdString(arg));
                twin.setText(arg);
                break;
            case 'r':
                EXPECT_EQ(edit->Value(), twin.value());
                break;
            case 'w':
                edit->setValue(std::stoll(arg));
                twin.setValue(std::stoll(arg));
                break;
            case 'u':
                QTest::mouseClick(edit->Button()->UpButton(), Qt::LeftButton);
                twin.upStep();
                break;
            case 'd':
                QTest::keyClick(edit, Qt::Key_Down);
                twin.downStep();
                break;
            case 'l':
                leave();
                twin.leave();
                break;
            }
            EXPECT_EQ(edit->text().toStdString(), twin.text());
            EXPECT_EQ(editChanges, twinChanges);
        }
    }
}

// Holding the up arrow on a virtual clock: the test fires the repeat timer
// whenever the clock reaches the end of the interval it was last started with.
class TCSpinButtonHold : public TCSpinEditStake {
  protected:
    void SetUp() override {
        TCSpinEditStake::SetUp();
        edit->OnChange = [this] { stepTimes.push_back(now); };
        leave(); // the press must bring the focus back
        QTest::mousePress(up, Qt::LeftButton);
        ASSERT_NE(up->RepeatTimer(), nullptr);
        ASSERT_TRUE(up->RepeatTimer()->isActive());
        due = up->RepeatTimer()->interval();
    }

    void runUntil(int until) {
        while (up->RepeatTimer()->isActive() && due <= until) {
            now = due;
            fire(up->RepeatTimer());
            due = now + up->RepeatTimer()->interval();
        }
        now = until;
    }

    TTimerSpeedButton* up = edit->Button()->UpButton();
    int now = 0;
    int due = 0;
    std::vector<int> stepTimes;
    const QPoint outside{-5, -5};
};

TEST_F(TCSpinButtonHold, StepsAt400ThenEvery100AndOnceMoreOnRelease) {
    EXPECT_TRUE(edit->hasFocus());
    runUntil(1050);
    QTest::mouseRelease(up, Qt::LeftButton);
    EXPECT_FALSE(up->RepeatTimer()->isActive());
    EXPECT_EQ(stepTimes, (std::vector<int>{400, 500, 600, 700, 800, 900, 1000, 1050}));
    EXPECT_EQ(edit->text(), "9");
}

TEST_F(TCSpinButtonHold, PointerOffPausesAndAReleaseOffStepsNothing) {
    runUntil(450);
    QTest::mouseMove(up, outside);
    EXPECT_FALSE(up->IsDown());
    runUntil(650);
    QTest::mouseMove(up, up->rect().center());
    runUntil(750);
    QTest::mouseMove(up, outside);
    QTest::mouseRelease(up, Qt::LeftButton, {}, outside);
    EXPECT_FALSE(up->RepeatTimer()->isActive());
    EXPECT_EQ(stepTimes, (std::vector<int>{400, 700}));
}

TEST_F(TCSpinButtonHold, DisablingTheEditEndsTheHold) {
    runUntil(450);
    edit->setEnabled(false);
    EXPECT_FALSE(up->RepeatTimer()->isActive());
    fire(up->RepeatTimer()); // a firing already on its way
    EXPECT_EQ(stepTimes, (std::vector<int>{400}));
}

TEST_F(TCSpinButtonHold, AStepThatThrowsStopsTheTimer) {
    edit->OnChange = [] { throw std::runtime_error("change failed"); };
    EXPECT_THROW(fire(up->RepeatTimer()), std::runtime_error);
    EXPECT_FALSE(up->RepeatTimer()->isActive());
    EXPECT_FALSE(up->IsDown());
    EXPECT_EQ(edit->text(), "2");
}

} // namespace
