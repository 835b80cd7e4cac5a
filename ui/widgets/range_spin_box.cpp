#include "widgets/range_spin_box.h"

#include <algorithm>

namespace {

// The digits of a spin box's text, without its prefix, suffix and spaces.
QString digitsOf(const QSpinBox* box, QString text) {
    text = text.trimmed();
    if (!box->prefix().isEmpty() && text.startsWith(box->prefix()))
        text.remove(0, box->prefix().size());
    if (!box->suffix().isEmpty() && text.endsWith(box->suffix())) text.chop(box->suffix().size());
    return text.trimmed();
}

bool allDigits(const QString& text) {
    return !text.isEmpty() && text.size() <= 18 &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

} // namespace

QValidator::State RangeSpinBox::validate(QString& input, int& pos) const {
    const QString digits = digitsOf(this, input);
    // Any whole number may be typed; one outside the range is set to its end
    // when the field is left, with a note.
    if (allDigits(digits) && minimum() >= 0) {
        const qlonglong v = digits.toLongLong();
        return v >= minimum() && v <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
    }
    return QSpinBox::validate(input, pos);
}

void RangeSpinBox::fixup(QString& input) const {
    const QString digits = digitsOf(this, input);
    if (allDigits(digits)) {
        const qlonglong v = digits.toLongLong();
        if (v < minimum() || v > maximum()) {
            const int end = v < minimum() ? minimum() : maximum();
            input = prefix() + textFromValue(end) + suffix();
            // Told once the value has taken the end.
            QMetaObject::invokeMethod(
                const_cast<RangeSpinBox*>(this),
                [box = const_cast<RangeSpinBox*>(this), digits] { emit box->clamped(digits); },
                Qt::QueuedConnection);
            return;
        }
    }
    QSpinBox::fixup(input);
}
