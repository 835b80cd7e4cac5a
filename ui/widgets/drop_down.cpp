#include "widgets/drop_down.h"

#include "art/fonts.h"
#include "widgets/tool_events.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QPainter>

void TDropDownDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    const bool current = option.state & (QStyle::State_Selected | QStyle::State_MouseOver);
    painter->fillRect(option.rect, current ? kHighlight : kBackground);
    painter->setFont(vantel::arialFont(9, true));
    painter->setPen(kText);
    painter->drawText(option.rect.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                      index.data(Qt::DisplayRole).toString());
}

QSize TDropDownDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    const QSize base = QStyledItemDelegate::sizeHint(option, index);
    return {base.width(), kItemHeight};
}

void TDropDownDelegate::apply(QComboBox* combo) {
    combo->setItemDelegate(new TDropDownDelegate(combo));
    QAbstractItemView* view = combo->view();
    QPalette pal = view->palette();
    for (auto role : {QPalette::Base, QPalette::Window, QPalette::AlternateBase})
        pal.setColor(role, kBackground);
    pal.setColor(QPalette::Text, kText);
    pal.setColor(QPalette::Highlight, kHighlight);
    pal.setColor(QPalette::HighlightedText, kText);
    view->setPalette(pal);
    view->setFont(vantel::arialFont(9, true));
    // The list's frame shares the list's colours.
    if (QWidget* frame = view->parentWidget()) frame->setPalette(pal);
}

TDropDown::TDropDown(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::currentIndexChanged, this, &TDropDown::selectChosen);
}

void TDropDown::selectChosen() {
    // The list is made only when a tool listens: otherwise it waits for the first opening.
    if (!QAccessible::isActive() || currentIndex() < 0) return;
    view()->selectionModel()->select(model()->index(currentIndex(), modelColumn()),
                                     QItemSelectionModel::ClearAndSelect);
    // A closed list's new choice is heard where the focus is.
    if (hasFocus()) vantel::tool_events::textInserted(this, currentText());
}

void TDropDown::focusInEvent(QFocusEvent* event) {
    selectChosen();
    QComboBox::focusInEvent(event);
}

void TDropDown::showPopup() {
    if (!m_styled) {
        TDropDownDelegate::apply(this);
        m_styled = true;
    }
    QComboBox::showPopup();
}
