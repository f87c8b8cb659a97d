#include "hostlistbox.h"

#include "displaytext.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QStyleOption>

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
    // Where the text is longer than the room, its start shows.
    m_notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_notice->setForegroundRole(QPalette::Text);
    m_notice->setBackgroundRole(QPalette::Base);
    m_notice->setAutoFillBackground(true);
    m_notice->setContentsMargins(2, 1, 2, 1);
    m_notice->hide();
    // The notice's room changes as the list gains its first entry or loses its last.
    const auto entriesChanged = [this] {
        if ((count() == 0) != m_placedForEmpty)
            placeNotice();
    };
    connect(model(), &QAbstractItemModel::rowsInserted, this, entriesChanged);
    connect(model(), &QAbstractItemModel::rowsRemoved, this, entriesChanged);
    connect(model(), &QAbstractItemModel::modelReset, this, entriesChanged);
}

HostListBox::~HostListBox()
{
    // The list's model empties itself as the list box goes, after this part of it is gone.
    model()->disconnect(this);
}

void HostListBox::setNotice(const QStringList &lines)
{
    if (lines == m_lines)
        return;
    if (m_lines.isEmpty())
        m_description = accessibleDescription();
    m_lines = lines;
    // A long word (a host name, an address) wraps within the list's width too.
    m_notice->setText(wrappableForDisplay(lines.join(u'\n'), 24));
    m_notice->setVisible(!lines.isEmpty());
    setAccessibleDescription(lines.isEmpty() ? m_description : lines.join(u' '));
    placeNotice();
}

bool HostListBox::event(QEvent *event)
{
    const bool handled = QListWidget::event(event);
    switch (event->type()) {
    case QEvent::Paint:
        // The styles mark a focused list by its current entry alone: an empty list, or one with
        // a notice only, would show no sign of the focus. Its frame carries the style's mark.
        if (hasFocus()) {
            QPainter painter(this);
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
        break;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        update();
        break;
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
    m_placedForEmpty = count() == 0;
    // At most half the list, so that hosts listed beside a failure still show.
    const int height =
        m_lines.isEmpty() ? 0
                          : std::min(m_notice->heightForWidth(inside.width()), inside.height() / 2);
    setViewportMargins(0, height, 0, 0);
    m_notice->setGeometry(inside.left(), inside.top(), inside.width(), height);
}

} // namespace zonara
