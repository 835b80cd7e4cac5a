// Times the building of the main window (artwork included) and counts the
// paint events of one idle second, on whatever platform Qt is given.
#include "paint_counter.h"
#include "window/main_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QElapsedTimer clock;
    clock.start();
    MainWindow form;
    form.FormCreate();
    const qint64 built = clock.elapsed();
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return 1;
    std::printf("window built in %lld ms, shown in %lld ms\n", static_cast<long long>(built),
                static_cast<long long>(clock.elapsed()));

    QTest::qWait(200);
    PaintCounter counter;
    app.installEventFilter(&counter);
    QTest::qWait(1000);
    app.removeEventFilter(&counter);
    std::printf("paint events in one idle second: %d\n", counter.count);
    return 0;
}
