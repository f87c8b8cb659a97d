#include "windowtitlebar.h"

#include <QEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace zonara {

namespace {

constexpr int ButtonGap = 3;
constexpr int CaptionIndent = 8;

} // namespace

WindowTitleBar::WindowTitleBar(QWidget &window, bool minimizable)
    : QWidget(&window)
    , m_window(window)
    , m_minimizable(minimizable)
{
    setObjectName(QStringLiteral("titleBar"));
    QFont captionFont = font();
    captionFont.setBold(true);
    setFont(captionFont);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, window.width(), fontMetrics().height() + 4 * ButtonGap);
    window.installEventFilter(this);
}

QRect WindowTitleBar::buttonRect(Button button) const
{
    const int side = height() - 2 * ButtonGap;
    const int closeLeft = width() - ButtonGap - side;
    switch (button) {
    case Button::Close:
        return QRect(closeLeft, ButtonGap, side, side);
    case Button::Minimize:
        return m_minimizable ? QRect(closeLeft - ButtonGap - side, ButtonGap, side, side) : QRect();
    case Button::None:
        break;
    }
    return QRect();
}

WindowTitleBar::Button WindowTitleBar::buttonAt(QPoint position) const
{
    for (Button button : {Button::Close, Button::Minimize}) {
        if (buttonRect(button).contains(position))
            return button;
    }
    return Button::None;
}

bool WindowTitleBar::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Resize:
        resize(m_window.width(), height());
        break;
    case QEvent::WindowTitleChange:
    case QEvent::ActivationChange:
    case QEvent::PaletteChange:
        update();
        break;
    case QEvent::Paint: {
        // A frameless window has no edge of its own: a dialog over the main window, both in the
        // window colour, would not show where it ends.
        QPainter painter(&m_window);
        painter.setPen(m_window.palette().color(QPalette::Dark));
        painter.drawRect(m_window.rect().adjusted(0, 0, -1, -1));
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void WindowTitleBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const bool active = m_window.isActiveWindow();
    const QColor background =
        active ? palette().color(QPalette::Active, QPalette::Highlight)
               : palette().color(QPalette::Inactive, QPalette::Window).darker(115);
    const QColor ink = active ? palette().color(QPalette::Active, QPalette::HighlightedText)
                              : palette().color(QPalette::Inactive, QPalette::WindowText);
    painter.fillRect(rect(), background);
    painter.setPen(ink);
    const int captionEnd =
        (m_minimizable ? buttonRect(Button::Minimize) : buttonRect(Button::Close)).left() -
        CaptionIndent;
    const QRect caption(CaptionIndent, 0, std::max(0, captionEnd - CaptionIndent), height());
    painter.drawText(
        caption, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
        fontMetrics().elidedText(m_window.windowTitle(), Qt::ElideRight, caption.width()));
    for (Button button : {Button::Close, Button::Minimize}) {
        if (!buttonRect(button).isNull())
            drawButton(painter, button, ink);
    }
}

void WindowTitleBar::drawButton(QPainter &painter, Button button, const QColor &ink) const
{
    const QRect box = buttonRect(button);
    if (button == m_hovered || button == m_pressed) {
        QColor shade = ink;
        shade.setAlpha(button == m_pressed ? 90 : 45);
        painter.fillRect(box, shade);
    }
    QPen pen(ink, std::max(1, box.height() / 10));
    painter.setPen(pen);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF glyph = QRectF(box).adjusted(box.width() * 0.3, box.height() * 0.3,
                                              -box.width() * 0.3, -box.height() * 0.3);
    if (button == Button::Close) {
        painter.drawLine(glyph.topLeft(), glyph.bottomRight());
        painter.drawLine(glyph.topRight(), glyph.bottomLeft());
    } else {
        painter.drawLine(glyph.bottomLeft(), glyph.bottomRight());
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void WindowTitleBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = buttonAt(event->position().toPoint());
    if (m_pressed != Button::None)
        update();
    else if (QWindow *handle = m_window.windowHandle())
        handle->startSystemMove();
}

void WindowTitleBar::mouseMoveEvent(QMouseEvent *event)
{
    const Button hovered = buttonAt(event->position().toPoint());
    if (hovered != m_hovered) {
        m_hovered = hovered;
        update();
    }
}

void WindowTitleBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_pressed == Button::None)
        return;
    const Button released =
        buttonAt(event->position().toPoint()) == m_pressed ? m_pressed : Button::None;
    m_pressed = Button::None;
    update();
    if (released == Button::Close)
        m_window.close();
    else if (released == Button::Minimize)
        m_window.showMinimized();
}

void WindowTitleBar::leaveEvent(QEvent *)
{
    m_hovered = Button::None;
    update();
}

void drawOwnTitleBar(QWidget &window, bool minimizable)
{
    // Only the window's type: Qt drops the frameless hint beside any hint for the frame.
    window.setWindowFlags((window.windowFlags() & Qt::WindowType_Mask) | Qt::FramelessWindowHint);
    auto *bar = new WindowTitleBar(window, minimizable);
    const int barHeight = bar->height();
    if (window.layout()) {
        QMargins margins = window.contentsMargins();
        margins.setTop(margins.top() + barHeight);
        window.setContentsMargins(margins);
    } else {
        const QList<QWidget *> controls =
            window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (QWidget *control : controls) {
            if (control != bar && !control->isWindow())
                control->move(control->pos() + QPoint(0, barHeight));
        }
        const QSize grown(window.width(), window.height() + barHeight);
        if (window.minimumSize() == window.maximumSize())
            window.setFixedSize(grown);
        else
            window.resize(grown);
    }
    bar->raise();
}

int ownTitleBarHeight(const QWidget &window)
{
    const auto *bar = window.findChild<WindowTitleBar *>(QString(), Qt::FindDirectChildrenOnly);
    return bar ? bar->height() : 0;
}

} // namespace zonara
