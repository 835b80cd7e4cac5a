#include "unit1.h"

#include <QApplication>
#include <QWindow>

#include <exception>

namespace {

// For the start-up benchmark only (bench/startup.sh): with VANTEL_QUIT_WHEN_SHOWN
// set, the program ends as soon as its window is first exposed on the screen.
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

// Starts the application, builds the main window and runs the event loop until
// the window is closed. An error while building the window is shown in the
// same message box as any other error, and the program ends without the loop.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(TForm1::applicationTitle(QApplication::applicationFilePath()));
    try {
        TForm1 form;
        Form1 = &form;
        form.FormCreate();
        QuitWhenShown quit;
        if (qEnvironmentVariableIsSet("VANTEL_QUIT_WHEN_SHOWN")) {
            form.winId();
            form.windowHandle()->installEventFilter(&quit);
        }
        form.show();
        QApplication::exec();
    } catch (const std::exception& e) {
        TForm1::showError(QString::fromStdString(e.what()));
    } catch (...) {
        TForm1::showError(QString());
    }
    return 0;
}
