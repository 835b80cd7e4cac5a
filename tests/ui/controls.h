#pragma once

// A window's control found by the object name the layout gives it
// (control<QComboBox>(window, "Game_Mode"), control<TFlatSpeedButton>(window,
// "FlatButton", 17)). A control that is missing, or is not of the type asked
// for, fails the test at once: the failure names it, and the exception ends
// the test before anything reads through a null pointer.
#include <QObject>
#include <QString>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

template <class T> T* control(const QObject& window, const QString& name) {
    if (T* found = window.findChild<T*>(name)) return found;
    const std::string missing = window.objectName().toStdString() + " has no " +
                                T::staticMetaObject.className() + " named " + name.toStdString();
    ADD_FAILURE() << missing;
    throw std::runtime_error(missing);
}

template <class T> T* control(const QObject& window, const char* name) {
    return control<T>(window, QString::fromLatin1(name));
}

// One of a numbered set: FlatButton0 .. FlatButton36, Act_Number0 ..,
// Label1 .. Label10.
template <class T> T* control(const QObject& window, const char* stem, int number) {
    return control<T>(window, QString::fromLatin1(stem) + QString::number(number));
}
