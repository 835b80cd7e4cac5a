#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>

// What assistive tools (screen readers) are told about the program's own
// widgets: painted labels as texts, gauges as progress bars with their values,
// spin edits as spin buttons, flat buttons as buttons that press and may be
// checked (a lit board cell), windows as frames whose decorative children are
// left out. The interfaces are made by a factory installed once; the widgets
// send their changes themselves.
namespace vantel::accessibility {

// Installs the interfaces below; a second call does nothing.
void install();

// A top-level window exported as a frame, or a container as a named group.
void markFrame(QWidget* window);
void markGroup(QWidget* container, const QString& name);
// Decorative or internal: not exported to assistive tools at all.
void hideFromTools(QWidget* widget);
bool hiddenFromTools(const QObject* object);
// A label whose text is a number: exported with a value too.
void markValue(QWidget* label);
// A button's checked state as assistive tools read it (a lit board cell);
// sends the change.
void setChecked(QWidget* button, bool checked);

} // namespace vantel::accessibility

// A text that only assistive tools see: a summary of what painted widgets show
// (the history strip in words, the lit numbers) or, as a notification, the
// live line the game is announced on. It lies over a place of its window and
// paints nothing; its window exports it among its children.
class TAccessibleText : public QObject {
    Q_OBJECT
  public:
    enum class Kind { Text, Notification };
    TAccessibleText(QWidget* window, Kind kind, const QString& name, QRect place);

    Kind kind() const { return m_kind; }
    QString name() const { return m_name; }
    QString text() const { return m_text; }
    QRect place() const { return m_place; }
    QWidget* window() const { return m_window; }

    // A new text, told to the tools when it differs.
    void setText(const QString& text);
    // A notification says its text: it becomes the text and is shown anew, so
    // that a screen reader speaks it even when it is the same as before.
    void say(const QString& text);
    // Says the last text again.
    void repeat();
    // Runs with every text said, whether a tool listens or not.
    std::function<void(const QString&)> OnSay;

  private:
    QPointer<QWidget> m_window;
    Kind m_kind;
    QString m_name;
    QString m_text;
    QRect m_place;
};
