#include "shell/qt_japanese.h"

#include <QApplication>

#include <gtest/gtest.h>

// Widget tests build real windows without showing them on a screen.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // Qt's own texts in Japanese, as the program has them.
    brindle::SpeakJapanese(app);
    return RUN_ALL_TESTS();
}
