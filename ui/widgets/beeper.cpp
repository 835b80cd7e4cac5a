#include "widgets/beeper.h"

#include <QApplication>

#include <utility>

namespace {

std::function<void()>& sink() {
    static std::function<void()> s;
    return s;
}

} // namespace

void Beeper::beep() {
    if (sink())
        sink()();
    else
        QApplication::beep();
}

void Beeper::setSink(std::function<void()> s) {
    sink() = std::move(s);
}
