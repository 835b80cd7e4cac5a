#include "widgets/accessibility.h"

#include "widgets/cgauge.h"
#include "widgets/colour_label.h"
#include "widgets/cspinedit.h"
#include "widgets/drop_down.h"
#include "widgets/flat_button.h"
#include "widgets/shape.h"
#include "widgets/tool_events.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QButtonGroup>
#include <QMenu>
#include <QVariant>

namespace {

const char* const kRole = "vantelAccessibleRole";
const char* const kHidden = "vantelHiddenFromTools";
const char* const kValue = "vantelAccessibleValue";
const char* const kChecked = "vantelAccessibleChecked";

// A text that tools read but cannot change.
class ReadOnlyText : public QAccessibleTextInterface {
  public:
    virtual QString whole() const = 0;
    virtual QRect wholeRect() const = 0;

    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override {
        const QString all = whole();
        if (end < 0 || end > all.size()) end = int(all.size());
        if (start < 0) start = 0;
        return start < end ? all.mid(start, end - start) : QString();
    }
    int characterCount() const override { return int(whole().size()); }
    QRect characterRect(int) const override { return wholeRect(); }
    int offsetAtPoint(const QPoint&) const override { return 0; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }
};

bool exported(const QObject* o) {
    if (qobject_cast<const TAccessibleText*>(o)) return true;
    const auto* w = qobject_cast<const QWidget*>(o);
    return w && !w->isWindow() && !qobject_cast<const QMenu*>(w) &&
           !vantel::accessibility::hiddenFromTools(w);
}

// A window or a group: its children less those hidden from tools, with the
// texts only tools see.
class Container : public QAccessibleWidget {
  public:
    Container(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}

    QList<QObject*> kids() const {
        QList<QObject*> list;
        for (QObject* o : widget()->children())
            if (exported(o)) list.append(o);
        return list;
    }
    int childCount() const override { return int(kids().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QObject*> list = kids();
        if (index < 0 || index >= list.size()) return nullptr;
        return QAccessible::queryAccessibleInterface(list[index]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? int(kids().indexOf(child->object())) : -1;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty() && widget()->isWindow())
            return widget()->windowTitle();
        return QAccessibleWidget::text(t);
    }
};

// A painted label (or the indicator square): its text, and a value when it is a number.
class Label : public QAccessibleWidget, public ReadOnlyText, public QAccessibleValueInterface {
  public:
    explicit Label(QWidget* w) : QAccessibleWidget(w, QAccessible::StaticText) {}

    QString shown() const {
        if (auto* l = qobject_cast<TColourLabel*>(widget())) return l->text();
        return {};
    }
    bool numeric() const { return widget()->property(kValue).toBool(); }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return shown();
        if (t == QAccessible::Value) return shown();
        return QAccessibleWidget::text(t);
    }
    QString whole() const override { return shown(); }
    QRect wholeRect() const override { return rect(); }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        if (t == QAccessible::ValueInterface && numeric())
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QVariant currentValue() const override { return shown().toDouble(); }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 2147483647.0; }
    QVariant minimumValue() const override { return 0.0; }
    QVariant minimumStepSize() const override { return 1.0; }
};

class Gauge : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit Gauge(TCGauge* w) : QAccessibleWidget(w, QAccessible::ProgressBar) {}
    TCGauge* gauge() const { return static_cast<TCGauge*>(widget()); }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return QStringLiteral("%1%").arg(gauge()->PercentDone());
        return QAccessibleWidget::text(t);
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QVariant currentValue() const override { return gauge()->Progress(); }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return gauge()->MaxValue(); }
    QVariant minimumValue() const override { return gauge()->MinValue(); }
    QVariant minimumStepSize() const override { return 1; }
};

class Spin : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit Spin(TCSpinEdit* w) : QAccessibleWidget(w, QAccessible::SpinBox) {}
    TCSpinEdit* edit() const { return static_cast<TCSpinEdit*>(widget()); }
    // The arrows are part of the spin button, not controls of their own.
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return edit()->text();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = !edit()->isReadOnly();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    // The value as the edit shows it: a text that is no number reads as the lowest.
    QVariant currentValue() const override {
        bool ok = false;
        const int v = edit()->text().toInt(&ok);
        return ok ? v : edit()->MinValue();
    }
    void setCurrentValue(const QVariant& value) override { edit()->setValue(value.toLongLong()); }
    QVariant maximumValue() const override { return edit()->MaxValue(); }
    QVariant minimumValue() const override { return edit()->MinValue(); }
    QVariant minimumStepSize() const override { return edit()->Increment(); }
};

class Button : public QAccessibleWidget {
  public:
    explicit Button(QAbstractButton* w) : QAccessibleWidget(w, QAccessible::Button) {}
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return button()->text();
        if (t == QAccessible::Accelerator) {
            const QVariant key = widget()->property("vantelKey");
            if (key.isValid()) return key.toString();
        }
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        // A button with a key of its own takes the focus by that key.
        if (widget()->property("vantelKey").isValid()) s.focusable = true;
        // A board cell (a button of a group) is checked while it is lit.
        if (button()->group()) {
            s.checkable = true;
            s.checked = widget()->property(kChecked).toBool();
        }
        return s;
    }
    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (widget()->isEnabled()) names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && widget()->isEnabled() && widget()->isVisible())
            button()->click();
        else
            QAccessibleWidget::doAction(name);
    }
};

// A setting's drop-down: named by its setting, its choice as its text and
// value, where screen readers read a closed list's choice.
class DropDown : public QAccessibleWidget, public ReadOnlyText {
  public:
    explicit DropDown(QComboBox* w) : QAccessibleWidget(w, QAccessible::ComboBox) {}
    QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }
    QString whole() const override { return combo()->currentText(); }
    QRect wholeRect() const override { return rect(); }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return combo()->currentText();
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return combo()->currentText();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(combo()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == combo()->view() ? 0 : -1;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = combo()->view()->isVisible();
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name == showMenuAction() || name == pressAction())
            combo()->showPopup();
        else
            QAccessibleWidget::doAction(name);
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
};

class PlainText : public QAccessibleObject, public ReadOnlyText {
  public:
    explicit PlainText(TAccessibleText* t) : QAccessibleObject(t) {}
    TAccessibleText* item() const { return static_cast<TAccessibleText*>(object()); }
    bool notification() const { return item()->kind() == TAccessibleText::Kind::Notification; }

    QString whole() const override {
        if (notification()) return item()->text();
        return item()->text().isEmpty() ? item()->name()
                                        : item()->name() + QStringLiteral(": ") + item()->text();
    }
    QRect wholeRect() const override { return rect(); }
    QWindow* window() const override {
        QWidget* w = item()->window();
        return w ? w->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(item()->window());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return whole();
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        QWidget* w = item()->window();
        if (!w) return {};
        return QRect(w->mapToGlobal(item()->place().topLeft()), item()->place().size());
    }
    QAccessible::Role role() const override {
        return notification() ? QAccessible::Notification : QAccessible::StaticText;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        QWidget* w = item()->window();
        s.invisible = !w || !w->isVisible();
        s.readOnly = true;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return nullptr;
    }
};

QAccessibleInterface* factory(const QString&, QObject* object) {
    if (auto* t = qobject_cast<TAccessibleText*>(object)) return new PlainText(t);
    auto* w = qobject_cast<QWidget*>(object);
    if (!w) return nullptr;
    const QVariant role = w->property(kRole);
    if (role.isValid()) return new Container(w, QAccessible::Role(role.toInt()));
    if (auto* g = qobject_cast<TCGauge*>(w)) return new Gauge(g);
    if (auto* s = qobject_cast<TCSpinEdit*>(w)) return new Spin(s);
    if (auto* b = qobject_cast<TFlatSpeedButton*>(w)) return new Button(b);
    if (auto* d = qobject_cast<TDropDown*>(w)) return new DropDown(d);
    if (qobject_cast<TColourLabel*>(w) || qobject_cast<TShape*>(w)) return new Label(w);
    return nullptr;
}

} // namespace

namespace vantel::accessibility {

void install() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(factory);
}

void markFrame(QWidget* window) {
    install();
    window->setProperty(kRole, int(QAccessible::Window));
}

void markGroup(QWidget* container, const QString& name) {
    container->setProperty(kRole, int(QAccessible::Grouping));
    container->setAccessibleName(name);
}

void hideFromTools(QWidget* widget) {
    widget->setProperty(kHidden, true);
}

bool hiddenFromTools(const QObject* object) {
    return object->property(kHidden).toBool();
}

void markValue(QWidget* label) {
    label->setProperty(kValue, true);
}

void setChecked(QWidget* button, bool checked) {
    // Unset reads as unchecked: the 37 cells start without a property each.
    if (button->property(kChecked).toBool() == checked) return;
    button->setProperty(kChecked, checked);
    if (!QAccessible::isActive()) return;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(button, changed);
    QAccessible::updateAccessibility(&event);
}

} // namespace vantel::accessibility

TAccessibleText::TAccessibleText(QWidget* window, Kind kind, const QString& name, QRect place)
    : QObject(window), m_window(window), m_kind(kind), m_name(name), m_place(place) {
    setObjectName(name);
}

void TAccessibleText::setText(const QString& text) {
    if (text == m_text) return;
    m_text = text;
    vantel::tool_events::textChanged(this, text);
}

void TAccessibleText::say(const QString& text) {
    m_text = text;
    repeat();
}

void TAccessibleText::repeat() {
    if (m_text.isEmpty()) return;
    if (OnSay) OnSay(m_text);
    if (!QAccessible::isActive()) return;
    // The name carries the words; showing anew makes a screen reader speak them.
    QAccessibleEvent name(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&name);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
