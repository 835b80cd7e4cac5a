#pragma once

#include <QSpinBox>

// A spin box that takes any number typed and, when it leaves the range, sets
// the nearest end and says so (clamped), rather than refusing keys silently.
class RangeSpinBox : public QSpinBox {
    Q_OBJECT
  public:
    using QSpinBox::QSpinBox;

  signals:
    // The typed text that was outside the range; the value is now its end.
    void clamped(const QString& typed);

  protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
};
