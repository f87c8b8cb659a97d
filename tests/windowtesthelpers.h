#pragma once

#include "alttyping.h"
#include "fakeplatform.h"
#include "form1.h"
#include "membersimulator.h"
#include "testsite.h"
#include "windowstyle.h"
#include "windowtesting.h"

#include <QTest>

#include <memory>

// What the window tests share: the site the windows show, a scripted desktop, and a member-service
// simulator on loopback.
inline const zonara::SiteConfig Site = testSite(
    QStringLiteral("127.0.0.1:1"), QStringLiteral("http://127.0.0.1:1/zonara/version.txt"));

// Where the report windows of the layout and keyboard tests send their request: nobody listens.
inline const QString NoService = QStringLiteral("http://127.0.0.1:1/");

class WindowTest : public QObject
{
protected:
    // Each test's initTestCase: the windows' look and keys, and the simulator listening.
    void startWindows()
    {
        zonara::useLayoutLook();
        zonara::installAltTypingFilter();
        QVERIFY(m_simulator.start() > 0);
    }

    std::unique_ptr<zonara::Form1> makeForm1()
    {
        auto window = std::make_unique<zonara::Form1>(Site, m_platform);
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("main window not active");
        return window;
    }

    FakePlatform m_platform;
    zonara::simulator::MemberSimulator m_simulator;
};
