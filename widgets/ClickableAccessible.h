#pragma once
// What assistive technology (a screen reader, voice control) sees of the program's own clickable
// widgets, which Qt's accessibility knows only as pictures or text: a link label or picture link
// (ClickLabel) is a link or a button whose Press action does what a click does, and a navigator
// category header (CategoryHeader) is an expandable button whose Toggle action folds it as a double
// click does. Each keeps its caption as its name.
#include <QAccessibleWidget>

class ClickableAccessible : public QAccessibleWidget {
public:
    ClickableAccessible(QWidget* widget, QAccessible::Role role, QString action);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

    // Lets Qt's accessibility create the interfaces above; called by the widgets' constructors.
    static void install();

private:
    QString m_action;
};
