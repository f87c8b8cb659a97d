#include "windowstyle.h"

#include "layoutscale.h"
#include "waylandwindows.h"
#include "windowstaterefusal.h"
#include "windowtitlebar.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>

#include <algorithm>

namespace zonara {

namespace {

double layoutScaleInUse = 1.0;

QFont layoutFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(10);
    return font;
}

QRect scaled(const QRect &designed)
{
    return QRect(layoutPixels(designed.x()), layoutPixels(designed.y()),
                 layoutPixels(designed.width()), layoutPixels(designed.height()));
}

class LayoutStyle final : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override
    {
        const int value = QProxyStyle::pixelMetric(metric, option, widget);
        if (metric == PM_IndicatorWidth || metric == PM_IndicatorHeight)
            return std::min(value, twipsToPixels(195));
        return value;
    }

    // The styles' own focus marks read at 1.1:1 to 2:1 under some colour schemes: a dotted line
    // in the text colour reads under every one, and shows wherever the focus is.
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element == PE_FrameLineEdit && option->state & State_HasFocus) {
            // A focused text box, marked by the style's frame colour alone, too.
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(*option);
            focus.rect = option->rect.adjusted(1, 1, -1, -1);
            drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
            return;
        }
        if (element != PE_FrameFocusRect) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        painter->save();
        painter->setPen(QPen(option->palette.color(QPalette::WindowText), 1, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }

    // A focused button is told apart from the default button, which the styles draw alike.
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        QProxyStyle::drawControl(element, option, painter, widget);
        if (element == CE_PushButton && option->state & State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(*option);
            focus.rect = option->rect.adjusted(3, 3, -3, -3);
            drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
        }
    }
};

} // namespace

int layoutPixels(int designPixels)
{
    return qRound(designPixels * layoutScaleInUse);
}

void useLayoutFont()
{
    const QFont desktop = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    const bool desktopFont = QGuiApplication::desktopSettingsAware() && desktopChoseFont(desktop);
    layoutScaleInUse = desktopFont ? layoutScale(layoutFont(), desktop) : 1.0;
    // Set even when it is the desktop's: a font changed later on the desktop would no longer
    // fit the windows, which are laid out once.
    QApplication::setFont(desktopFont ? desktop : layoutFont());
}

void useLayoutLook()
{
    if (!dynamic_cast<LayoutStyle *>(QApplication::style()))
        QApplication::setStyle(
            new LayoutStyle(QStyleFactory::create(QApplication::style()->name())));
    useLayoutFont();
}

QIcon programIcon()
{
    return QIcon(QStringLiteral(":/zonara/zonara-manager.xpm"));
}

QCursor handPointer()
{
    return QCursor(QPixmap(QStringLiteral(":/zonara/hand-pointer.xpm")), 19, 0);
}

void focusFirstAvailable(std::initializer_list<QWidget *> tabOrder)
{
    for (QWidget *control : tabOrder) {
        if (control->isEnabled() && !control->isHidden() && control->focusPolicy() & Qt::TabFocus) {
            control->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void makeFixedWindow(QWidget &window, MinimizeButton minimize)
{
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (minimize == MinimizeButton::Shown)
        flags |= Qt::WindowMinimizeButtonHint;
    window.setWindowFlags(flags);
    if (layoutScaleInUse != 1.0) {
        const QList<QWidget *> controls =
            window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (QWidget *control : controls) {
            if (!control->isWindow())
                control->setGeometry(scaled(control->geometry()));
        }
        window.resize(scaled(window.rect()).size());
    }
    // Where the compositor draws no frames, Qt's own would offer maximize and minimize everywhere.
    if (drawsOwnTitleBar())
        drawOwnTitleBar(window, minimize == MinimizeButton::Shown);
    fixWindowSize(window);
}

void keepWithOpener(QWidget &window)
{
    keepInFrontOfOpener(window);
    WindowStateRefusal::install(window, Qt::WindowMinimized);
}

FixedDialog::FixedDialog(QWidget *parent)
    : QDialog(parent)
{}

void FixedDialog::fixLayout()
{
    makeFixedWindow(*this, MinimizeButton::Hidden);
    // After the flags: changing them resets the modality and the window.
    setModal(true);
    keepWithOpener(*this);
}

void FixedDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Styles mark the focus only once the keyboard has moved it: a dialog that opens with the
    // focus on its check box would give no sign of where Space goes.
    setAttribute(Qt::WA_KeyboardFocusChange);
}

void FixedDialog::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        event->accept();
        return;
    case Qt::Key_Enter:
    case Qt::Key_Return:
        if (event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier))
            break;
        if (auto *focused = qobject_cast<QPushButton *>(focusWidget());
            focused && focused->isEnabled())
            focused->click();
        else if (m_defaultButton && m_defaultButton->isEnabled())
            m_defaultButton->click();
        event->accept();
        return;
    default:
        break;
    }
    QDialog::keyPressEvent(event);
}

} // namespace zonara
