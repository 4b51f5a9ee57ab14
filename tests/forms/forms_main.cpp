// The widget tests run in one QApplication on the offscreen platform (no display needed).
#include <gtest/gtest.h>

#include <QApplication>

#include "operator/forms/runtime_directory.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    quorvel::forms::ProvideRuntimeDirectory();
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
