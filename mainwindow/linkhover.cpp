#include "linkhover.h"

#include "linkcolour.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

namespace zonara {

LinkHover::LinkHover(QWidget &window, std::array<QLabel *, 3> links,
                     std::array<QWidget *, 2> untouched)
    : QObject(&window)
    , m_window(window)
    , m_links(links)
    , m_untouched(untouched)
{
    // Every widget reports pointer movements, not only while a button is held.
    m_window.setMouseTracking(true);
    m_window.installEventFilter(this);
    const QList<QWidget *> descendants = m_window.findChildren<QWidget *>();
    for (QWidget *widget : descendants) {
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    }
}

void LinkHover::setStyle(QLabel &label, bool highlighted)
{
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText,
                     linkColour(palette.color(QPalette::Window), highlighted));
    label.setPalette(palette);
    QFont font = label.font();
    font.setUnderline(highlighted);
    label.setFont(font);
}

bool LinkHover::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove)
        pointerMovedTo(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
    return QObject::eventFilter(watched, event);
}

void LinkHover::pointerMovedTo(const QPoint &globalPosition)
{
    // Outside the window (a button held down reports movements beyond it) no handler runs: a
    // link left for elsewhere stays highlighted.
    const QPoint position = m_window.mapFromGlobal(globalPosition);
    if (!m_window.rect().contains(position))
        return;
    // The control under the pointer decides, whichever widget reported the movement: a movement
    // passed on from a child to its window then decides the same.
    QWidget *under = m_window.childAt(position);
    while (under && under->parentWidget() != &m_window)
        under = under->parentWidget();
    if (under && !under->isEnabled())
        under = nullptr;

    for (QWidget *button : m_untouched) {
        if (under == button)
            return;
    }
    for (QLabel *link : m_links)
        setStyle(*link, under == link);
}

} // namespace zonara
