#include <QApplication>
#include <QFont>

#include <gtest/gtest.h>

// Widget tests run on the offscreen platform with one application for the run.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
