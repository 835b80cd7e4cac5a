#pragma once

#include <QColor>
#include <QComboBox>
#include <QStyledItemDelegate>

// The items of a setting's drop-down list in the window's own look: 11 pixels
// tall, black, olive Arial 9 bold, a dark highlight under the current item.
class TDropDownDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static constexpr int kItemHeight = 11;
    static inline const QColor kText{0x80, 0x80, 0x00};
    static inline const QColor kBackground{0x00, 0x00, 0x00};
    static inline const QColor kHighlight{0x40, 0x40, 0x40};

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Gives a combo box's list this look.
    static void apply(QComboBox* combo);
};

// A setting's drop-down: its list takes the look above when first opened, so
// that the list is not made while the window starts.
//
// While a screen reader listens, the chosen item is also the selected one of
// the closed list: that is where a screen reader reads a list's choice.
class TDropDown : public QComboBox {
    Q_OBJECT
  public:
    explicit TDropDown(QWidget* parent = nullptr);

    void showPopup() override;

  protected:
    void focusInEvent(QFocusEvent* event) override;

  private:
    void selectChosen();

    bool m_styled = false;
};
