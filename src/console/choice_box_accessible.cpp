#include "console/choice_box_accessible.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "console/choice_box.h"
#include "console/choice_box_names.h"

namespace console {

ChoiceBoxAccessible::ChoiceBoxAccessible(QComboBox& box)
    : QAccessibleWidget(&box, QAccessible::ComboBox) {}

QComboBox& ChoiceBoxAccessible::box() const {
    return *static_cast<QComboBox*>(widget());
}

QString ChoiceBoxAccessible::text(QAccessible::Text t) const {
    switch (t) {
        case QAccessible::Name:
            return OwnName(box(), box().window()->findChildren<QLabel*>());
        case QAccessible::Value:
            return box().currentText();
        default:
            return QAccessibleWidget::text(t);
    }
}

QList<QPair<QAccessibleInterface*, QAccessible::Relation>> ChoiceBoxAccessible::relations(
    QAccessible::Relation match) const {
    return QAccessibleWidget::relations(match & ~QAccessible::Label);
}

int ChoiceBoxAccessible::childCount() const {
    return box().lineEdit() ? 2 : 1;
}

QAccessibleInterface* ChoiceBoxAccessible::child(int index) const {
    if (index == 0) return QAccessible::queryAccessibleInterface(box().view());
    if (index == 1) return QAccessible::queryAccessibleInterface(box().lineEdit());
    return nullptr;
}

int ChoiceBoxAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (!child) return -1;
    if (child->object() == box().view()) return 0;
    if (child->object() == box().lineEdit()) return 1;
    return -1;
}

// The text field never takes the focus itself (the box is its focus proxy),
// yet it is what the operator types into.
QAccessibleInterface* ChoiceBoxAccessible::focusChild() const {
    return box().lineEdit() ? child(1) : nullptr;
}

QStringList ChoiceBoxAccessible::actionNames() const {
    return {showMenuAction(), pressAction()};
}

void ChoiceBoxAccessible::doAction(const QString& actionName) {
    if (actionName != showMenuAction() && actionName != pressAction()) return;
    if (box().view()->isVisible())
        box().hidePopup();
    else
        box().showPopup();
}

QAccessibleInterface* ChoiceBoxAccessibleFactory(const QString&, QObject* object) {
    auto* box = qobject_cast<ChoiceBox*>(object);
    return box ? new ChoiceBoxAccessible(*box) : nullptr;
}

}  // namespace console
