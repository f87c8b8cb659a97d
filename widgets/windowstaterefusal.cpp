#include "windowstaterefusal.h"

#include <QEvent>
#include <QWidget>

namespace zonara {

WindowStateRefusal::WindowStateRefusal(QWidget &window, Qt::WindowStates refused)
    : QObject(&window)
    , m_refused(refused)
{
    window.installEventFilter(this);
}

void WindowStateRefusal::install(QWidget &window, Qt::WindowStates refused)
{
    if (auto *installed =
            window.findChild<WindowStateRefusal *>(QString(), Qt::FindDirectChildrenOnly))
        installed->m_refused |= refused;
    else
        new WindowStateRefusal(window, refused);
}

bool WindowStateRefusal::eventFilter(QObject *watched, QEvent *event)
{
    auto *window = qobject_cast<QWidget *>(watched);
    if (window && event->type() == QEvent::WindowStateChange && window->windowState() & m_refused) {
        // Once the window system's change is done: a state changed back from within it is lost.
        QMetaObject::invokeMethod(
            window,
            [window, refused = m_refused] {
                window->setWindowState(window->windowState() & ~refused);
                if (window->isVisible())
                    window->activateWindow();
            },
            Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zonara
