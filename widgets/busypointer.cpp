#include "busypointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace zonara {

BusyPointer::BusyPointer()
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
}

BusyPointer::~BusyPointer()
{
    QGuiApplication::restoreOverrideCursor();
}

} // namespace zonara
