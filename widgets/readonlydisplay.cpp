#include "readonlydisplay.h"

#include <QEvent>
#include <QWidget>

namespace zonara {

namespace {

// Gives the disabled text roles the enabled colours; true when anything changed.
bool copyEnabledText(QWidget &control)
{
    QPalette palette = control.palette();
    bool changed = false;
    for (const QPalette::ColorRole role :
         {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
        const QColor enabled = palette.color(QPalette::Active, role);
        if (palette.color(QPalette::Disabled, role) != enabled) {
            palette.setColor(QPalette::Disabled, role, enabled);
            changed = true;
        }
    }
    if (changed)
        control.setPalette(palette);
    return changed;
}

class EnabledTextKeeper final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // A palette of the desktop's own arrives as a change; setting ours again changes nothing.
        if (event->type() == QEvent::PaletteChange)
            copyEnabledText(*static_cast<QWidget *>(watched));
        return false;
    }
};

} // namespace

void showTextAsEnabled(QWidget &control)
{
    copyEnabledText(control);
    control.installEventFilter(new EnabledTextKeeper(&control));
}

} // namespace zonara
