#pragma once

#include "statistics/laid_text.h"

#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <QWidget>

// Texts that change after every spin are laid out once per change and drawn
// from the laid-out glyphs after that: a label or a standard item view lays
// the same text out again on every paint, which costs more than the rest of
// a spin.

// A paragraph of figures, wrapped to its width. It takes the height of the
// lines it is given, or of as many as its text needs, so a new text of as many
// lines repaints it without measuring the window again. It can take the focus
// and tells assistive tools its text.
class FiguresText : public QWidget {
  public:
    FiguresText(int lines, QWidget* parent);
    void setText(const QString& text);
    const QString& text() const { return m_text; }
    QSize sizeHint() const override;
    // Narrower than its natural width it wraps into more lines.
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void showEvent(QShowEvent*) override;

  private:
    int textWidth() const;
    // Lays the text out at the width it has and asks for more or fewer
    // lines when the text needs it.
    void fit();

    int m_lines;
    int m_textHeight = 0;
    QString m_text;
    QStaticText m_glyphs;
};

// Draws an item view's cells (background, one line of text, focus frame) like
// the style does, from laid-out texts it keeps for the strings it has seen.
class FiguresDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  private:
    const LaidText& glyphs(const QString& text, const QFont& font) const;
    mutable QHash<QString, LaidText> m_glyphs;
    mutable QFont m_font;
};
