// What a screen reader is told about a choice box. On Linux Qt gives a combo
// box its current value as its name and leaves saying what the box is to its
// label relations: the label whose buddy it is and the title of the group it
// sits in. The window has several boxes behind labels of the same text
// ("Baud:", "Parity:", "Enable:") and six in one titled group, so those
// relations cannot tell them apart. A choice box is therefore read by its own
// name, as on other platforms (its accessible name, else its label's text),
// its value stays its value, and it reports no label relation.
#pragma once

#include <QAccessibleWidget>
#include <QString>

class QComboBox;
class QObject;

namespace console {

class ChoiceBoxAccessible : public QAccessibleWidget {
public:
    explicit ChoiceBoxAccessible(QComboBox& box);

    QString text(QAccessible::Text t) const override;
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation match = QAccessible::AllRelations) const override;

    // Its parts as Qt's own combo box interface has them: the drop-down list,
    // then the text field, which holds the accessible focus.
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override;

    // Pressing it opens or closes the list.
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    QComboBox& box() const;
};

// For QAccessible::installFactory: the interface above for every ChoiceBox.
QAccessibleInterface* ChoiceBoxAccessibleFactory(const QString& className, QObject* object);

}  // namespace console
