// The yardstick of the start-up benchmark: a bare window of the main window's
// size with one text label in the window's font and one 10 ms timer, ending as
// soon as it is first exposed, as the program does with VANTEL_QUIT_WHEN_SHOWN.
#include "fonts.h"
#include "quit_when_shown.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(473, 261);
    QLabel label(QStringLiteral("Vantel 2.0"), &window);
    label.setFont(vantel::arialFont(11, false));
    label.move(8, 8);
    QTimer timer;
    timer.start(10);
    quitWhenFirstShown(window);
    window.show();
    return QApplication::exec();
}
