#pragma once

#include <QObject>

class QWidget;

namespace zonara {

// Puts `window` back out of the `refused` states (maximized, minimized) as soon as the window
// system has put it in one, so that a state the window does not offer and the window manager
// gives anyway does nothing: a maximize on Wayland, whose compositors demand a larger window, or a
// minimize of a modal window, which would leave the window it blocks with no way back to it
// where there is no task bar. One refusal a window; a second call adds its states.
class WindowStateRefusal final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WindowStateRefusal)

public:
    static void install(QWidget &window, Qt::WindowStates refused);
    ~WindowStateRefusal() override = default;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    WindowStateRefusal(QWidget &window, Qt::WindowStates refused);

    Qt::WindowStates m_refused;
};

} // namespace zonara
