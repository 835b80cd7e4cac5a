#pragma once

#include <QEvent>
#include <QObject>

// Counts the paint events an application delivers while it is installed as
// the application's event filter: the measure of what an idle window costs.
class PaintCounter : public QObject {
  public:
    using QObject::QObject;
    int count = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};
