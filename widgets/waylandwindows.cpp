#include "waylandwindows.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace zonara {

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1StringView("wayland"));
}

void fixWindowSize(QWidget &window)
{
    if (onWayland())
        window.setMinimumSize(window.size());
    else
        window.setFixedSize(window.size());
}

void keepInFrontOfOpener(QWidget &window)
{
    if (!onWayland())
        return;
    QWidget *opener = QApplication::activeWindow();
    if (!opener || opener == &window || !opener->windowHandle())
        return;
    window.winId();
    if (QWindow *handle = window.windowHandle())
        handle->setTransientParent(opener->windowHandle());
}

} // namespace zonara
