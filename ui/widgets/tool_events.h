#pragma once

#include <QAccessible>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QWidget>

// The changes a widget tells assistive tools about, sent only while one listens.
namespace vantel::tool_events {

inline void valueChanged(QObject* object, const QVariant& value) {
    if (!QAccessible::isActive()) return;
    QAccessibleValueChangeEvent event(object, value);
    QAccessible::updateAccessibility(&event);
}

// A text shown anew: its name too, when the name is the text (no name of its own).
inline void textChanged(QObject* object, const QString& text) {
    if (!QAccessible::isActive()) return;
    const auto* widget = qobject_cast<const QWidget*>(object);
    if (!widget || widget->accessibleName().isEmpty()) {
        QAccessibleEvent name(object, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&name);
    }
    QAccessibleTextUpdateEvent update(object, 0, QString(), text);
    QAccessible::updateAccessibility(&update);
}

// A new choice shown, as text a screen reader speaks where the focus is.
inline void textInserted(QObject* object, const QString& text) {
    if (!QAccessible::isActive() || text.isEmpty()) return;
    QAccessibleTextInsertEvent event(object, 0, text);
    QAccessible::updateAccessibility(&event);
}

} // namespace vantel::tool_events
