#pragma once

#include <QTest>

// Set before the application exists, so that `build/tests/tst_name` runs from any shell as under
// ctest: no proxy (the simulator is on loopback), and the suite's window platform unless
// QT_QPA_PLATFORM names one (ctest's X runs; ctest names offscreen for the others). On the suite's
// own platform no desktop theme, style or scaling either: the layout tests measure Qt's own look.
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

// QtTest's own QTEST_MAIN and QTEST_GUILESS_MAIN, with the environment set first.
#define ZONARA_TEST_MAIN(TestObject, platform)                                                     \
    QTEST_MAIN_WRAPPER(TestObject, ::zonara::tests::useTestEnvironment(platform);                  \
                       QTEST_MAIN_SETUP())
#define ZONARA_TEST_GUILESS_MAIN(TestObject)                                                       \
    QTEST_MAIN_WRAPPER(TestObject, ::zonara::tests::useTestEnvironment(nullptr);                   \
                       QTEST_QAPP_SETUP(QCoreApplication))
