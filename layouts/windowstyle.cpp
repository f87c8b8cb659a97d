#include "windowstyle.h"

#include "waylandwindows.h"

#include <QApplication>
#include <QFont>
#include <QKeyEvent>
#include <QPixmap>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>

#include <algorithm>

namespace zonara {

void useLayoutFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(10);
    QApplication::setFont(font);
}

namespace {

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
};

} // namespace

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
    fixWindowSize(window);
}

FixedDialog::FixedDialog(QWidget *parent)
    : QDialog(parent)
{}

void FixedDialog::fixLayout()
{
    makeFixedWindow(*this, MinimizeButton::Hidden);
    // After the flags: changing them resets the modality and the window.
    setModal(true);
    keepInFrontOfOpener(*this);
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
