#include "window/quit_when_shown.h"
#include "window/unit1.h"

#include <QApplication>

#include <exception>

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
        // Set only by the start-up benchmark.
        if (qEnvironmentVariableIsSet("VANTEL_QUIT_WHEN_SHOWN")) quitWhenFirstShown(form);
        form.show();
        QApplication::exec();
    } catch (const std::exception& e) {
        TForm1::showError(QString::fromStdString(e.what()));
    } catch (...) {
        TForm1::showError(QString());
    }
    return 0;
}
