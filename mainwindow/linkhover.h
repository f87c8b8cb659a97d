#pragma once

#include <QObject>

#include <array>

class QLabel;
class QWidget;

namespace zonara {

// Highlights the link label under the pointer. Every pointer movement over the main window
// writes the style of all three labels: the label under the pointer highlighted (blue,
// underlined), the others resting (navy; on a dark window lighter shades, see linkColour). Over the
// window's own surface, or over any control but the links, all three rest; over an enabled Edit or
// Convert button nothing changes. Disabled and hidden controls take no pointer input, so over them
// the surface counts. There is no state besides the labels' own colour and underline, and no step
// for the pointer leaving a label.
class LinkHover final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LinkHover)

public:
    // `links` are Label3, Label4, Label5 in that order; `untouched` are the buttons that keep
    // pointer movements to themselves while enabled.
    LinkHover(QWidget &window, std::array<QLabel *, 3> links, std::array<QWidget *, 2> untouched);

    static void setStyle(QLabel &label, bool highlighted);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void pointerMovedTo(const QPoint &globalPosition);

    QWidget &m_window;
    std::array<QLabel *, 3> m_links;
    std::array<QWidget *, 2> m_untouched;
};

} // namespace zonara
