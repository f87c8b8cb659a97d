#pragma once

#include <QWidget>

namespace zonara {

// The title bar a window draws itself where Qt's own would offer maximize, and minimize on every
// window (Qt 6.4 on Wayland): the caption, the close box and, where asked, minimize. A drag on it
// moves the window by the compositor; nothing on it maximizes. It stays as wide as its window.
class WindowTitleBar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WindowTitleBar)

public:
    enum class Button { None, Minimize, Close };

    WindowTitleBar(QWidget &window, bool minimizable);
    ~WindowTitleBar() override = default;

    // Where each button and the caption stand, in the bar's coordinates.
    Button buttonAt(QPoint position) const;
    QRect buttonRect(Button button) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void drawButton(QPainter &painter, Button button, const QColor &ink) const;

    QWidget &m_window;
    const bool m_minimizable;
    Button m_pressed = Button::None;
    Button m_hovered = Button::None;
};

// Gives `window` the title bar above in place of the window system's frame: the window turns
// frameless and grows by the bar's height (a fixed size stays fixed), its controls (or its
// layout) moved down by as much. Call it before the window is first shown.
void drawOwnTitleBar(QWidget &window, bool minimizable);

// How far that title bar moved the window's controls down: 0 where it has none. What a window
// paints itself at designed places moves down by as much.
int ownTitleBarHeight(const QWidget &window);

} // namespace zonara
