#include "hostlistbox.h"

#include <QEvent>
#include <QLabel>

#include <algorithm>

namespace zonara {

HostListBox::HostListBox(QWidget *parent)
    : QListWidget(parent)
    , m_notice(new QLabel(this))
{
    m_notice->setObjectName(QStringLiteral("List1Notice"));
    // Texts from the network among them: plain text, wrapped at the list's width.
    m_notice->setTextFormat(Qt::PlainText);
    m_notice->setWordWrap(true);
    m_notice->setForegroundRole(QPalette::Text);
    m_notice->setBackgroundRole(QPalette::Base);
    m_notice->setAutoFillBackground(true);
    m_notice->setContentsMargins(2, 1, 2, 1);
    m_notice->hide();
}

void HostListBox::setNotice(const QStringList &lines)
{
    if (lines == m_lines)
        return;
    if (m_lines.isEmpty())
        m_description = accessibleDescription();
    m_lines = lines;
    m_notice->setText(lines.join(u'\n'));
    m_notice->setVisible(!lines.isEmpty());
    setAccessibleDescription(lines.isEmpty() ? m_description : lines.join(u' '));
    placeNotice();
}

bool HostListBox::event(QEvent *event)
{
    const bool handled = QListWidget::event(event);
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::FontChange:
    case QEvent::StyleChange:
        placeNotice();
        break;
    default:
        break;
    }
    return handled;
}

void HostListBox::placeNotice()
{
    const QRect inside = contentsRect();
    // At most half the list, so that hosts listed beside a failure still show.
    const int height =
        m_lines.isEmpty() ? 0
                          : std::min(m_notice->heightForWidth(inside.width()), inside.height() / 2);
    setViewportMargins(0, height, 0, 0);
    m_notice->setGeometry(inside.left(), inside.top(), inside.width(), height);
}

} // namespace zonara
