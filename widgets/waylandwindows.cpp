#include "waylandwindows.h"

#include "compositorframes.h"
#include "windowstaterefusal.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace zonara {

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1StringView("wayland"));
}

bool drawsOwnTitleBar()
{
    return onWayland() && !compositorDrawsFrames();
}

void fixWindowSize(QWidget &window)
{
    // Smallest and largest size alike elsewhere: no maximize, and a tiling compositor (sway)
    // floats the window at its size.
    if (drawsOwnTitleBar()) {
        window.setMinimumSize(window.size());
        window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        WindowStateRefusal::install(window, Qt::WindowMaximized);
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
