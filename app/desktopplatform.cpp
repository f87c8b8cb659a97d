#include "desktopplatform.h"

#include "displaytext.h"
#include "waylandwindows.h"
#include "windowstyle.h"
#include "windowtitlebar.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QMessageBox>
#include <QNetworkInterface>
#include <QUrl>

namespace zonara {

namespace {

// The platform's Yes/No question, on which Esc presses nothing: QMessageBox would take No for
// the escape button even when told there is none.
class QuestionBox final : public QMessageBox
{
public:
    QuestionBox(const QString &title, const QString &text)
        : QMessageBox(QMessageBox::NoIcon, title, QString(), QMessageBox::Yes | QMessageBox::No)
    {
        // The text carries host names and reasons off the network: shown as written, never as
        // markup (no links, no images).
        setTextFormat(Qt::PlainText);
        setText(wrappableForDisplay(boundedForDisplay(text, LongestShownQuestion)));
        setDefaultButton(QMessageBox::Yes);
        // Where the compositor draws no frames, Qt's title bar would offer maximize and minimize.
        if (drawsOwnTitleBar())
            drawOwnTitleBar(*this, false);
        keepWithOpener(*this);
    }

protected:
    // QMessageBox fixes its size whenever it is shown or laid out; where the program draws its own
    // title bar on Wayland, a window that keeps a fixed size while the compositor maximizes it
    // breaks the protocol, which ends the program. There the box only keeps its smallest size, and
    // is not laid out while maximized (it is put back at once).
    bool event(QEvent *event) override
    {
        if (!drawsOwnTitleBar())
            return QMessageBox::event(event);
        if (event->type() == QEvent::LayoutRequest && isMaximized())
            return true;
        const bool handled = QMessageBox::event(event);
        if (event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest)
            fixWindowSize(*this);
        return handled;
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
};

} // namespace

void DesktopPlatform::shellOpen(const QString &target)
{
    QDesktopServices::openUrl(QUrl(target, QUrl::TolerantMode));
}

bool DesktopPlatform::askYesNo(const QString &title, const QString &text)
{
    // No owner window: the question stands on its own, modal to the whole program.
    QuestionBox box(title, text);
    return box.exec() == QMessageBox::Yes;
}

QString DesktopPlatform::localIpAddress()
{
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                return entry.ip().toString();
        }
    }
    return QStringLiteral("127.0.0.1");
}

} // namespace zonara
