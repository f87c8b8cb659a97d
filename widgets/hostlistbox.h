#pragma once

#include <QListWidget>
#include <QStringList>

class QLabel;

namespace zonara {

// The host list: a list box that can show a notice above its entries, such as why a listing
// failed. The notice is no entry: it cannot be selected or scrolled away, it is drawn in the list's
// text colour, and while it shows it is the list's accessible description, which screen readers
// read with the list. While the list has no entries, the notice may fill it.
class HostListBox final : public QListWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HostListBox)

public:
    explicit HostListBox(QWidget *parent = nullptr);
    ~HostListBox() override;

    // One line of the notice each; none hides it and gives the list its usual description back.
    void setNotice(const QStringList &lines);
    QStringList notice() const { return m_lines; }

protected:
    bool event(QEvent *event) override;

private:
    void placeNotice();

    QLabel *m_notice;
    QStringList m_lines;
    QString m_description; // the list's own, while no notice shows
    bool m_placedForEmpty = true;
};

} // namespace zonara
