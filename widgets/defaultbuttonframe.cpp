#include "defaultbuttonframe.h"

#include <QApplication>
#include <QPushButton>

namespace zonara {

DefaultButtonFrame::DefaultButtonFrame(QPushButton &button)
    : QObject(&button)
    , m_button(button)
{
    m_button.setDefault(true);
    connect(qApp, &QApplication::focusChanged, this, &DefaultButtonFrame::followFocus);
}

void DefaultButtonFrame::followFocus(QWidget *old, QWidget *now)
{
    QWidget *window = m_button.window();
    if ((!old || old->window() != window) && (!now || now->window() != window))
        return;
    // The window keeps its focus widget while another window is active.
    auto *focusedButton = qobject_cast<QPushButton *>(window->focusWidget());
    m_button.setDefault(!focusedButton || focusedButton == &m_button);
}

} // namespace zonara
