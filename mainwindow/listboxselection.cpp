#include "listboxselection.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QListWidget>

#include <algorithm>
#include <memory>

namespace zonara {

ListBoxSelection::ListBoxSelection(QListWidget &list)
    : QObject(&list)
    , m_list(list)
{
    m_list.setSelectionMode(QAbstractItemView::SingleSelection);
    m_list.installEventFilter(this);
    connect(m_list.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection &, const QItemSelection &deselected) {
                keepSelection(deselected);
            });
}

void ListBoxSelection::clear()
{
    // QListWidget::clear() deselects first, with notice, while the entries are still there.
    m_clearing = true;
    m_list.clear();
    m_clearing = false;
}

bool ListBoxSelection::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &m_list || event->type() != QEvent::KeyPress || m_passingOn ||
        m_list.count() == 0 || m_list.selectionModel()->hasSelection())
        return QObject::eventFilter(watched, event);

    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Home:
    case Qt::Key_Down:
    case Qt::Key_Up:
    case Qt::Key_PageDown:
    case Qt::Key_Space:
        select(0);
        return true;
    case Qt::Key_End:
    case Qt::Key_PageUp: {
        // The list moves as it always does; where it lands is selected even when it did not
        // move (from the first entry, PageUp stays there).
        const std::unique_ptr<QKeyEvent> copy(static_cast<QKeyEvent *>(event)->clone());
        m_passingOn = true;
        QCoreApplication::sendEvent(&m_list, copy.get());
        m_passingOn = false;
        if (!m_list.selectionModel()->hasSelection())
            select(std::max(m_list.currentRow(), 0));
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

void ListBoxSelection::keepSelection(const QItemSelection &deselected)
{
    // An entry was deselected and none is selected, and not by clear(): the user cleared the
    // selection. Select the entry again.
    if (m_clearing || m_list.selectionModel()->hasSelection() || deselected.isEmpty())
        return;
    const QModelIndex entry = deselected.indexes().constFirst();
    if (entry.isValid())
        select(entry.row());
}

void ListBoxSelection::select(int row)
{
    m_list.selectionModel()->setCurrentIndex(m_list.model()->index(row, 0),
                                             QItemSelectionModel::ClearAndSelect);
}

} // namespace zonara
