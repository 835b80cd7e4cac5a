// The yardstick of the start-up benchmark: a bare window of the main window's
// size with one text label in the window's font and one 10 ms timer, ending as
// soon as it is first painted, as the program does with VANTEL_QUIT_WHEN_SHOWN.
// With --all-faces it has one more label in each of the other three faces the
// window uses, carrying the texts the window shows at start: what the window's
// fonts and glyphs cost on their own.
#include "art/fonts.h"
#include "window/quit_when_shown.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <cstring>

int main(int argc, char* argv[]) {
    const bool allFaces = argc > 1 && std::strcmp(argv[1], "--all-faces") == 0;
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(473, 261);
    QLabel label(QStringLiteral("Vantel 2.0"), &window);
    label.setFont(vantel::arialFont(11, false));
    label.move(8, 8);
    if (allFaces) {
        label.setText(QStringLiteral(
            "Vantel 2.0 Init. Bet: Game Mode Betting System Safe Level Fixed Matrix"));
        struct Face {
            int pixels;
            bool bold;
            const char* text;
        };
        int y = 8;
        for (const Face& face : {Face{11, true, "Reset"}, Face{9, false, "0 1 2 3 4 5 6 7 8 9"},
                                 Face{9, true, "BET 1 Mode1 Martingale ReCalculate 0"}}) {
            auto* more = new QLabel(QString::fromLatin1(face.text), &window);
            more->setFont(vantel::arialFont(face.pixels, face.bold));
            more->move(8, y += 40);
        }
    }
    QTimer timer;
    timer.start(10);
    quitWhenFirstShown(window);
    window.show();
    return QApplication::exec();
}
