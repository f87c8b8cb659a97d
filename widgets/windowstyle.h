#pragma once

#include <QCursor>
#include <QDialog>
#include <QIcon>

class QPushButton;

namespace zonara {

// A length the windows are designed with, in pixels of the layout font, as drawn: larger by the
// layout scale where the desktop's font needs more room.
int layoutPixels(int designPixels);

// 15 twips make one design pixel at 96 dots per inch.
inline int twipsToPixels(int twips)
{
    return layoutPixels(twips / 15);
}

// The font the windows are drawn in, and the layout scale that goes with it. Where the desktop
// chose a font, that font, and every window and its controls grow by as much more room as its
// texts need than in the layout font, keeping their proportions. Elsewhere the layout font, for
// which the windows are designed to the pixel: the platform's default font is too wide for them.
void useLayoutFont();

// The font and the style all four windows are laid out for: the layout font, and check box
// squares small enough to show whole in a check box 195 twips high (most styles draw them a pixel
// or two taller).
void useLayoutLook();

QIcon programIcon();
QCursor handPointer();

// A window opens with the focus on the first control in its tab order that can take it.
void focusFirstAvailable(std::initializer_list<QWidget *> tabOrder);

enum class MinimizeButton { Shown, Hidden };

// Grown with its controls by the layout scale, then fixed at that size; a close box, no maximize
// button and no context help.
void makeFixedWindow(QWidget &window, MinimizeButton minimize);

// A secondary window stays with the window it blocks: in front of it on Wayland, and never
// minimized away from it (window managers that offer minimize on every window would hide it for
// good). Call it before the window is shown.
void keepWithOpener(QWidget &window);

// A secondary window: modal, never minimized, and Esc presses nothing. Enter presses the button
// that has the focus, else the default button if the window has one.
class FixedDialog : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FixedDialog)

public:
    explicit FixedDialog(QWidget *parent = nullptr);

protected:
    // Fixes the window at its designed size, with its frame, as a modal window.
    void fixLayout();
    void setDefaultButton(QPushButton *button) { m_defaultButton = button; }
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QPushButton *m_defaultButton = nullptr;
};

} // namespace zonara
