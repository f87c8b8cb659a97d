#include "windowcaption.h"

#include "displaytext.h"
#include "xcbatoms.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

namespace zonara {

namespace {

// Qt's X11 window writes the program's name into _NET_WM_NAME in place of an empty title; write
// the empty title there after it. Other window systems are left to Qt.
void clearWindowSystemTitle(QWidget &window)
{
#if QT_CONFIG(xcb)
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection || !window.windowHandle() || !window.testAttribute(Qt::WA_WState_Created))
        return;
    const xcb_atom_t name = xcbAtom(connection, "_NET_WM_NAME");
    const xcb_atom_t utf8 = xcbAtom(connection, "UTF8_STRING");
    if (name == XCB_ATOM_NONE || utf8 == XCB_ATOM_NONE)
        return;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window.winId()), name, utf8,
                        8, 0, nullptr);
    xcb_flush(connection);
#else
    Q_UNUSED(window);
#endif
}

} // namespace

void showExactCaption(QWidget &window, QStringView caption)
{
    const QString shown = boundedForDisplay(caption);
    // Qt drops an unpaired "[*]" and shows "[*][*]" as "[*]": doubling every one keeps them all.
    QString title = shown;
    title.replace(QLatin1StringView("[*]"), QLatin1StringView("[*][*]"));
    window.setWindowTitle(title);
    if (shown.isEmpty())
        clearWindowSystemTitle(window);
}

} // namespace zonara
