#include "widgets/ClickableAccessible.h"

#include "widgets/CategoryPanel.h"
#include "widgets/ClickLabel.h"

#include <QTextDocumentFragment>

namespace {
QAccessibleInterface* create(const QString& className, QObject* object) {
    if (className == QLatin1String("ClickLabel")) {
        auto* label = qobject_cast<ClickLabel*>(object);
        // A picture acts as a button, a text as a link.
        const bool picture = !label->pixmap().isNull();
        return new ClickableAccessible(label, picture ? QAccessible::Button : QAccessible::Link,
                                       QAccessibleActionInterface::pressAction());
    }
    if (className == QLatin1String("CategoryHeader"))
        return new ClickableAccessible(qobject_cast<QWidget*>(object), QAccessible::Button,
                                       QAccessibleActionInterface::toggleAction());
    return nullptr;
}
} // namespace

ClickableAccessible::ClickableAccessible(QWidget* widget, QAccessible::Role role, QString action)
    : QAccessibleWidget(widget, role), m_action(std::move(action)) {}

void ClickableAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(create);
        return true;
    }();
    Q_UNUSED(installed);
}

QString ClickableAccessible::text(QAccessible::Text t) const {
    QString text = QAccessibleWidget::text(t);
    if (t == QAccessible::Name && text.isEmpty()) {
        // A link label without a name of its own: its caption, without the link's markup.
        if (const auto* label = qobject_cast<const QLabel*>(widget()))
            text = QTextDocumentFragment::fromHtml(label->text()).toPlainText();
    }
    return text;
}

QAccessible::State ClickableAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    if (const auto* header = qobject_cast<const CategoryHeader*>(widget())) {
        state.expandable = true;
        state.expanded = !header->collapsed();
        state.collapsed = header->collapsed();
    }
    return state;
}

QStringList ClickableAccessible::actionNames() const {
    QStringList names;
    if (widget()->isEnabled()) names << m_action;
    return names + QAccessibleWidget::actionNames();
}

void ClickableAccessible::doAction(const QString& actionName) {
    if (actionName != m_action) return QAccessibleWidget::doAction(actionName);
    if (!widget()->isEnabled()) return;
    if (auto* label = qobject_cast<ClickLabel*>(widget()))
        label->click();
    else if (auto* header = qobject_cast<CategoryHeader*>(widget()))
        header->toggle();
}
