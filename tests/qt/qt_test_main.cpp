// The Qt backend tests run the real widgets: Qt's offscreen platform unless a
// display is asked for, and SDL's silent audio driver so sounds really play.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "runtime/qt/audio_device.h"
#include "runtime/qt/qt_platform.h"

int main(int argc, char** argv) {
    // A 1920x1080 screen, which holds both windows at their designed sizes.
    setenv("QT_QPA_PLATFORM", "offscreen:configfile=" VORBELZOZ_SOURCE_DIR "/tests/qt/offscreen_screen.json",
           0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ::testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QtPlatform platform;
    installPlatform(&platform);
    // Opened now, so a sound asked for plays at once rather than after the
    // output has been opened in the background, and the tests can see it.
    qtport::audioReady();
    int result = RUN_ALL_TESTS();
    qtport::closeAudio();
    return result;
}
