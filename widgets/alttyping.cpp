#include "alttyping.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace zonara {

bool isAltTyping(Qt::KeyboardModifiers modifiers, const QString &text)
{
    if (!modifiers.testFlag(Qt::AltModifier) ||
        modifiers & (Qt::ControlModifier | Qt::GroupSwitchModifier))
        return false;
    return !text.isEmpty() && text.at(0).isPrint();
}

namespace {

// Access keys are handled as shortcuts before the key press reaches a control, so what arrives here
// was no access key.
class AltTypingFilter final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !qobject_cast<QLineEdit *>(watched))
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        return isAltTyping(key->modifiers(), key->text());
    }
};

} // namespace

void installAltTypingFilter()
{
    static const bool installed = [] {
        qApp->installEventFilter(new AltTypingFilter(qApp));
        return true;
    }();
    Q_UNUSED(installed)
}

} // namespace zonara
