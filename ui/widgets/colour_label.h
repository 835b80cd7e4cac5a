#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

#include <optional>

// A label whose opaque background colour is part of its state; setting the
// colour it already has does nothing.
class TColourLabel : public QWidget {
    Q_OBJECT
  public:
    explicit TColourLabel(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);
    // Transparent labels paint only their text.
    void setTransparent(bool transparent);
    void setTextColour(const QColor& colour);
    void setAlignment(Qt::Alignment alignment) { m_alignment = alignment; }
    // An auto-sized label takes the width of its text.
    void setAutoSize(bool autoSize);
    // A text wider than the label is shown whole in a narrower or smaller font.
    void setShrinkToFit(bool shrink);
    // The font the text is painted in.
    QFont shownFont() const { return m_fitted ? *m_fitted : font(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QString m_text;
    QColor m_colour{0, 0, 0};
    QColor m_textColour{0xFF, 0xFF, 0xFF};
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignTop;
    bool m_transparent = false;
    bool m_autoSize = false;
    bool m_shrinkToFit = false;
    std::optional<QFont> m_fitted;

    void fitText();
};
