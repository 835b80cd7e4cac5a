// The yardstick of the start-up benchmark: a bare window of the main window's
// size with one text label in the window's font and one 10 ms timer, ending as
// soon as it is first exposed, as the program does with VANTEL_QUIT_WHEN_SHOWN.
#include "fonts.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWindow>

namespace {

class QuitWhenShown : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed())
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return false;
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(473, 261);
    QLabel label(QStringLiteral("Vantel 2.0"), &window);
    label.setFont(vantel::arialFont(11, false));
    label.move(8, 8);
    QTimer timer;
    timer.start(10);
    QuitWhenShown quit;
    window.winId();
    window.windowHandle()->installEventFilter(&quit);
    window.show();
    return QApplication::exec();
}
