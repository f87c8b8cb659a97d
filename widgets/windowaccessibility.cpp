#include "windowaccessibility.h"

#include "textboxaccessibility.h"
#include "windowtitlebar.h"

#include <QAccessibleWidget>
#include <QDialog>
#include <QFocusFrame>
#include <QMenu>
#include <QMessageBox>

#include <algorithm>
#include <utility>

namespace zonara {

namespace {

class WindowAccessible final : public QAccessibleWidget
{
public:
    explicit WindowAccessible(QWidget *window)
        : QAccessibleWidget(window, qobject_cast<QDialog *>(window) ? QAccessible::Dialog
                                                                    : QAccessible::Window)
    {}
    Q_DISABLE_COPY_MOVE(WindowAccessible)
    ~WindowAccessible() override = default;

    // A question is described by its text, as Qt's own interface for it would.
    QString text(QAccessible::Text kind) const override
    {
        const QString own = QAccessibleWidget::text(kind);
        if (auto *box = qobject_cast<QMessageBox *>(widget());
            box && kind == QAccessible::Description && own.isEmpty())
            return box->text();
        return own;
    }

    int childCount() const override { return int(shownChildWidgets(*widget()).size()); }
    QAccessibleInterface *child(int index) const override { return shownChild(*widget(), index); }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return indexOfShownChild(*widget(), child);
    }
};

// Asked for each class of an object from the most derived one up: answer at once for a window,
// before Qt's own interfaces for QWidget, QDialog and QMessageBox.
QAccessibleInterface *windowFactory(const QString &className, QObject *object)
{
    auto *window = qobject_cast<QWidget *>(object);
    if (!window || !window->isWindow() ||
        className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    const Qt::WindowType type = window->windowType();
    if (type != Qt::Window && type != Qt::Dialog)
        return nullptr;
    return new WindowAccessible(window);
}

} // namespace

QWidgetList shownChildWidgets(const QWidget &widget)
{
    QWidgetList controls;
    for (QObject *child : widget.children()) {
        auto *control = qobject_cast<QWidget *>(child);
        if (control && !control->isWindow() && !control->isHidden() &&
            !qobject_cast<QFocusFrame *>(control) && !qobject_cast<QMenu *>(control) &&
            !qobject_cast<WindowTitleBar *>(control) &&
            control->objectName() != QLatin1String("qt_rubberband"))
            controls.append(control);
    }
    std::stable_sort(controls.begin(), controls.end(), [](const QWidget *a, const QWidget *b) {
        return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
    });
    return controls;
}

QAccessibleInterface *shownChild(const QWidget &widget, int index)
{
    const QWidgetList controls = shownChildWidgets(widget);
    if (index < 0 || index >= controls.size())
        return nullptr;
    return QAccessible::queryAccessibleInterface(controls.at(index));
}

int indexOfShownChild(const QWidget &widget, const QAccessibleInterface *child)
{
    if (!child || !child->object() || !child->object()->isWidgetType())
        return -1;
    return int(shownChildWidgets(widget).indexOf(static_cast<QWidget *>(child->object())));
}

void installWindowAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(textBoxFactory);
        QAccessible::installFactory(windowFactory);
        return true;
    }();
    Q_UNUSED(installed)
}

} // namespace zonara
