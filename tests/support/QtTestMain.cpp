// GoogleTest entry for tests that need a Qt application object (events, timers, devices). It
// ends as the program does, since some of these tests open real sound devices.
#include "EndProcess.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    int code = 1;
    {
        QCoreApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        code = RUN_ALL_TESTS();
    }
    return EndProcess(code);
}
