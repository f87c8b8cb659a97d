#include "linkaccessibility.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>

namespace zonara {

namespace {

class LinkLabelAccessible final : public QAccessibleWidget
{
public:
    explicit LinkLabelAccessible(QLabel *label)
        : QAccessibleWidget(label, QAccessible::Link)
    {}
    Q_DISABLE_COPY_MOVE(LinkLabelAccessible)
    ~LinkLabelAccessible() override = default;

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            return label()->text();
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State linkState = QAccessibleWidget::state();
        linkState.linked = true;
        return linkState;
    }

    QStringList actionNames() const override { return {pressAction()}; }

    // The window opens a link when the left button is released over it: press it there.
    void doAction(const QString &actionName) override
    {
        if (actionName != pressAction() || !widget()->isEnabled() || !widget()->isVisible())
            return;
        const QPointF centre = QRectF(label()->rect()).center();
        const QPointF global = label()->mapToGlobal(centre);
        QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(label(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(label(), &release);
    }

private:
    QLabel *label() const { return static_cast<QLabel *>(widget()); }
};

QAccessibleInterface *linkLabelFactory(const QString &className, QObject *object)
{
    auto *label = qobject_cast<QLabel *>(object);
    if (className != QLatin1String("QLabel") || !label ||
        !label->property("accessibleLink").toBool())
        return nullptr;
    return new LinkLabelAccessible(label);
}

} // namespace

void installLinkAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(linkLabelFactory);
        return true;
    }();
    Q_UNUSED(installed)
}

} // namespace zonara
