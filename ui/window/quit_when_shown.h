#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

#include <cstdlib>

// For the start-up benchmark (bench/startup.sh): ends the process once `window`
// has been first exposed and painted. It ends at once, without tearing the
// application down, so that what is counted is exec to the first frame and
// nothing after it. Call before showing it.
inline void quitWhenFirstShown(QWidget& window) {
    class QuitOnExpose : public QObject {
      public:
        using QObject::QObject;

      protected:
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed())
                QMetaObject::invokeMethod(
                    qApp, [] { std::_Exit(0); }, Qt::QueuedConnection);
            return false;
        }
    };
    window.winId(); // makes the window handle
    QWindow* handle = window.windowHandle();
    handle->installEventFilter(new QuitOnExpose(handle));
}
