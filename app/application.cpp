#include "application.h"

#include <cstdio>
#include <new>

namespace zonara {

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc &) {
        std::fputs("zonara-manager: out of memory; an action was not completed\n", stderr);
        return false;
    }
}

} // namespace zonara
