#include "Application.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // The widgets need no display; CTest sets the same, but test discovery runs without it.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    TApplication app(argc, argv);
    // Closing a main window in one test must not end the event loops of the next.
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
