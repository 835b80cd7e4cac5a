#include <QApplication>
#include <QFont>

#include <gtest/gtest.h>

// Widget tests run on the offscreen platform with one application for the run.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The SVG writer's module, which the programs find beside themselves.
    if (qgetenv("VANTEL_SVG_MODULE").isEmpty())
        qputenv("VANTEL_SVG_MODULE", VANTEL_SVG_MODULE_FILE);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
