#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

// For the start-up benchmark (bench/startup.sh): ends the application as soon
// as `window` is first exposed on the screen. Call before showing it.
inline void quitWhenFirstShown(QWidget& window) {
    class QuitOnExpose : public QObject {
      public:
        using QObject::QObject;

      protected:
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed())
                QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
            return false;
        }
    };
    window.winId(); // makes the window handle
    QWindow* handle = window.windowHandle();
    handle->installEventFilter(new QuitOnExpose(handle));
}
