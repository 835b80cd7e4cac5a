#pragma once

// The one window of a widget test: a main window on a fixed calendar second,
// created, its error messages and beeps collected instead of shown, and any
// menu it left open closed at the end.
#include "controls.h"
#include "widgets/beeper.h"
#include "widgets/program_timer.h"
#include "window/main_window.h"
#include "window/player_aids.h"
#include "window/spin_undo.h"

#include <QApplication>
#include <QString>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

class WindowTest : public ::testing::Test {
  protected:
    WindowTest() : form([] { return int64_t{1700000000}; }) {
        MainWindow::setErrorSink([this](const QString& caption, const QString& text) {
            errors.push_back({caption, text});
        });
        Beeper::setSink([this] { ++beeps; });
        // What the window announces is told in the same turn of the event loop.
        PlayerAids::TellDelayMs = 0;
        form.FormCreate();
    }
    ~WindowTest() override {
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        Beeper::setSink(nullptr);
        MainWindow::setErrorSink(nullptr);
    }

    // Shows the window and makes it the active one.
    void showWindow() {
        form.show();
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    // A click on board cell n; a draw it starts is left running.
    void spin(int n) { control<TFlatSpeedButton>(form, "FlatButton", n)->click(); }
    // Ticks the classic draw to its end at once.
    void finishDraw() {
        for (int i = 0; i < 100 && control<ProgramTimer>(form, "Timer_Classic")->enabled(); ++i)
            control<ProgramTimer>(form, "Timer_Classic")->fire();
    }
    // A spin and its draw, to the end, and what they posted.
    void play(int n) {
        spin(n);
        finishDraw();
        QApplication::processEvents();
    }

    MainWindow form;
    std::vector<std::pair<QString, QString>> errors; // caption and text
    int beeps = 0;
};
