#pragma once

#include <QObject>

class QItemSelection;
class QListWidget;

namespace zonara {

// Makes a list widget behave as a single-selection list box: at most one entry is selected, and
// once one is, the user cannot empty the selection (Ctrl+click and Ctrl+Space on the selected
// entry keep it; only clearing the list does). From no selection the first navigation key
// selects: Home, Down, Up, PageDown and Space the first entry, End and PageUp the entry they
// move to. Qt would otherwise make the first entry current without selecting it when the list
// takes the focus, so that Home selected nothing and Down the second entry.
class ListBoxSelection final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListBoxSelection)

public:
    explicit ListBoxSelection(QListWidget &list);

    // Empties the list, and with it the selection.
    void clear();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void keepSelection(const QItemSelection &deselected);
    void select(int row);

    QListWidget &m_list;
    bool m_passingOn = false;
    bool m_clearing = false;
};

} // namespace zonara
