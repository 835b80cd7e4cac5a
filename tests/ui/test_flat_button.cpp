// The flat speed button paints only a frame, and only while hovered or held.
#include "widgets/flat_button.h"

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class FlatButton : public ::testing::Test {
  protected:
    FlatButton() {
        parent.resize(60, 60);
        parent.setAutoFillBackground(true);
        QPalette pal = parent.palette();
        pal.setColor(QPalette::Window, QColor(0x31, 0x31, 0x31));
        parent.setPalette(pal);
        button.setGeometry(10, 10, 33, 33);
        parent.show();
    }

    QRgb at(int x, int y) { return parent.grab().toImage().pixel(10 + x, 10 + y) & 0xFFFFFF; }

    void hover() {
        QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15));
        QApplication::sendEvent(&button, &enter);
        button.setAttribute(Qt::WA_UnderMouse, true);
    }

    QWidget parent;
    TFlatSpeedButton button{&parent};
};

TEST_F(FlatButton, PaintsNothingWhileThePointerIsAway) {
    for (auto [x, y] : {std::pair{0, 0}, {16, 0}, {32, 32}, {16, 16}})
        EXPECT_EQ(at(x, y), 0x313131u) << x << "," << y;
}

TEST_F(FlatButton, HoverRaisesAndPressSinksTheFrameButNeverFillsIt) {
    hover();
    EXPECT_EQ(at(16, 0), 0xFFFFFFu);
    EXPECT_EQ(at(0, 16), 0xFFFFFFu);
    EXPECT_EQ(at(16, 32), 0x808080u);
    EXPECT_EQ(at(32, 16), 0x808080u);
    EXPECT_EQ(at(16, 16), 0x313131u);

    button.setDown(true);
    EXPECT_EQ(at(16, 0), 0x808080u);
    EXPECT_EQ(at(32, 16), 0xFFFFFFu);
    EXPECT_EQ(at(16, 16), 0x313131u);

    button.setDown(false);
    button.setEnabled(false);
    EXPECT_EQ(at(16, 0), 0x313131u) << "a disabled button draws no hover frame";
}

} // namespace
