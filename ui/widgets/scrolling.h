#pragma once

#include <QScrollArea>

// A frameless scroll area named `name` around `content`, which takes the
// area's width and height when there is room: on a small or scaled screen a
// window built on it still fits and nothing is out of reach.
inline QScrollArea* scrollingArea(QWidget* content, const QString& name, QWidget* parent) {
    auto* scroll = new QScrollArea(parent);
    scroll->setObjectName(name);
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    return scroll;
}
