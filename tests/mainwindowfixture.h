#pragma once

#include "fakeplatform.h"
#include "form1.h"
#include "membersimulator.h"
#include "testsite.h"
#include "windowstyle.h"
#include "windowtesting.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

// A main window talking to a member-service simulator on loopback, with a scripted desktop.
class MainWindowFixture
{
public:
    MainWindowFixture()
    {
        zonara::useLayoutLook();
        simulator.setAccount(QStringLiteral("user"), QStringLiteral("secret"));
        alpha = simulator.addHost(zonara::simulator::SimulatedKind::Dynamic,
                                  QStringLiteral("alpha.zonara.example"),
                                  QStringLiteral("192.0.2.1"), true);
        web = simulator.addHost(zonara::simulator::SimulatedKind::Static,
                                QStringLiteral("www.zweb.example"), QStringLiteral("198.51.100.7"));
        beta = simulator.addHost(zonara::simulator::SimulatedKind::Dynamic,
                                 QStringLiteral("beta.zhome.example"), QStringLiteral("192.0.2.2"));
        simulator.start();
    }

    zonara::SiteConfig site() const
    {
        return testSite(simulator.memberHost(), simulator.announcementAddress());
    }

    // Opens the main window; its announcement request is answered (404) before it returns.
    zonara::Form1 &open()
    {
        window = std::make_unique<zonara::Form1>(site(), platform);
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the main window did not become active");
        QTest::qWait(50);
        simulator.clearLog();
        return *window;
    }

    template <typename T = QWidget> T *control(const char *name) { return child<T>(*window, name); }

    QStringList listed() const
    {
        QStringList entries;
        auto *names = child<QListWidget>(*window, "List1");
        auto *ids = child<QListWidget>(*window, "VList1");
        for (int i = 0; i < names->count(); ++i)
            entries << (ids->item(i) ? ids->item(i)->text() : QStringLiteral("?")) + u'=' +
                           names->item(i)->text();
        return entries;
    }

    // Types the credentials, presses Retrieve and waits until both listings are in.
    bool retrieve(const QString &user = QStringLiteral("user"),
                  const QString &password = QStringLiteral("secret"))
    {
        control<QLineEdit>("Text1")->setText(user);
        control<QLineEdit>("Text2")->setText(password);
        const qsizetype before = simulator.requestLog().size();
        control<QPushButton>("Command1")->click();
        const bool bothAsked =
            QTest::qWaitFor([&] { return simulator.requestLog().size() >= before + 2; }, 10'000);
        QTest::qWait(100);
        return bothAsked;
    }

    void select(const QString &name)
    {
        auto *list = control<QListWidget>("List1");
        const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
        if (!found.isEmpty())
            list->setCurrentItem(found.first());
    }

    bool enabled(const char *name) { return control(name)->isEnabled(); }

    zonara::simulator::MemberSimulator simulator;
    FakePlatform platform;
    std::unique_ptr<zonara::Form1> window;
    int alpha = 0;
    int web = 0;
    int beta = 0;
};
