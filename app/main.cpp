#include "window/journal_recorder.h"
#include "window/main_window.h"
#include "window/quit_when_shown.h"
#include "window/session_tools.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <exception>

// Starts the application, builds the main window and runs the event loop until
// the window is closed. An error while building the window is shown in the
// same message box as any other error, and the program ends without the loop.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(
        MainWindow::applicationTitle(QApplication::applicationFilePath()));
    try {
        MainWindow form;
        form.FormCreate();
        // Set only by the start-up benchmark.
        if (qEnvironmentVariableIsSet("VANTEL_QUIT_WHEN_SHOWN")) quitWhenFirstShown(form);
        // --journal FILE --wheel NAME records to that wheel (the journal in the
        // user's data folder without --journal); without them the wheel
        // recorded to when the program last ended is recorded to again.
        QCommandLineParser options;
        const QCommandLineOption journal(QStringLiteral("journal"),
                                         QStringLiteral("Record the spins to the journal FILE."),
                                         QStringLiteral("FILE"));
        const QCommandLineOption wheel(QStringLiteral("wheel"),
                                       QStringLiteral("The journal's wheel to record to."),
                                       QStringLiteral("NAME"), QStringLiteral("Table 1"));
        options.addOptions({journal, wheel});
        options.parse(QApplication::arguments());
        JournalRecorder& recorder = form.sessionTools().recorder();
        form.show();
        QTimer::singleShot(0, &form, [&] {
            if (options.isSet(journal) || options.isSet(wheel))
                recorder.start(options.isSet(journal) ? options.value(journal)
                                                      : JournalRecorder::defaultJournal(),
                               options.value(wheel));
            else
                recorder.startRemembered();
        });
        QApplication::exec();
    } catch (const std::exception& e) {
        MainWindow::showError(QString::fromStdString(e.what()));
    } catch (...) {
        MainWindow::showError(QString());
    }
    return 0;
}
