#pragma once

#include <QTest>

// The environment a test executable sets itself before its application object exists, so that
// `build/tests/tst_name` runs from any shell as under ctest. No proxy: the tests talk to a
// simulator on loopback. The window platform the suite names (offscreen) unless QT_QPA_PLATFORM
// is set, as ctest's X runs and a developer watching the windows set it; a desktop that exports
// it wins too (`QT_QPA_PLATFORM= tst_name` runs offscreen), though not under ctest, which names
// offscreen itself. On the suite's platform no desktop
// theme, style or scaling either, as the layout tests measure Qt's own look; on one chosen they
// stay (the qt6ct run sets its theme beside QT_QPA_PLATFORM=xcb).
namespace zonara::tests {

inline void useTestEnvironment(const char *platform)
{
    for (const char *proxy : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy",
                              "ALL_PROXY", "no_proxy", "NO_PROXY"})
        qunsetenv(proxy);
    if (platform && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", platform);
    if (platform && qgetenv("QT_QPA_PLATFORM") == platform)
        for (const char *look : {"QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE", "QT_SCALE_FACTOR"})
            qunsetenv(look);
}

} // namespace zonara::tests

// QTEST_MAIN and QTEST_GUILESS_MAIN (QtTest's own main, so its attributes and test data path
// stay) with the environment set first; `platform` is the window suite's, e.g. "offscreen".
#define ZONARA_TEST_MAIN(TestObject, platform)                                                     \
    QTEST_MAIN_WRAPPER(TestObject, ::zonara::tests::useTestEnvironment(platform);                  \
                       QTEST_MAIN_SETUP())
#define ZONARA_TEST_GUILESS_MAIN(TestObject)                                                       \
    QTEST_MAIN_WRAPPER(TestObject, ::zonara::tests::useTestEnvironment(nullptr);                   \
                       QTEST_QAPP_SETUP(QCoreApplication))
