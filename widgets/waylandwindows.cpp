#include "waylandwindows.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace zonara {

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1StringView("wayland"));
}

namespace {

// Puts a window that was maximized back to its own size, once the compositor's change is done.
class MaximizeRefusal final : public QObject
{
public:
    explicit MaximizeRefusal(QWidget &window)
        : QObject(&window)
    {
        setObjectName(QStringLiteral("maximizeRefusal"));
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = qobject_cast<QWidget *>(watched);
        if (window && event->type() == QEvent::WindowStateChange && window->isMaximized()) {
            QMetaObject::invokeMethod(
                window,
                [window] { window->setWindowState(window->windowState() & ~Qt::WindowMaximized); },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void fixWindowSize(QWidget &window)
{
    if (onWayland()) {
        window.setMinimumSize(window.size());
        window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        if (!window.findChild<QObject *>(QStringLiteral("maximizeRefusal"),
                                         Qt::FindDirectChildrenOnly))
            new MaximizeRefusal(window);
    } else {
        window.setFixedSize(window.size());
    }
}

void keepInFrontOfOpener(QWidget &window)
{
    if (!onWayland())
        return;
    // The window that asks, or the one it blocks: the active window is none for a moment after
    // a question closed and before the report it led to opens.
    QWidget *opener = QApplication::activeModalWidget();
    if (!opener || opener == &window)
        opener = QApplication::activeWindow();
    if (!opener || opener == &window) {
        opener = nullptr;
        for (QWidget *shown : QApplication::topLevelWidgets()) {
            if (shown != &window && shown->isVisible() && shown->windowType() == Qt::Window)
                opener = shown;
        }
    }
    if (!opener || !opener->windowHandle())
        return;
    window.winId();
    if (QWindow *handle = window.windowHandle())
        handle->setTransientParent(opener->windowHandle());
}

} // namespace zonara
