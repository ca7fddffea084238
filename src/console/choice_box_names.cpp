#include "console/choice_box_names.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace console {

QString OwnName(const QComboBox& box, const QList<QLabel*>& labels) {
    if (!box.accessibleName().isEmpty()) return box.accessibleName();
    for (const QLabel* label : labels)
        if (label->buddy() == &box) return label->text();
    return {};
}

void NameChoiceBoxFields(QWidget& window) {
    const QList<QLabel*> labels = window.findChildren<QLabel*>();
    for (QComboBox* box : window.findChildren<QComboBox*>())
        if (QLineEdit* field = box->lineEdit()) field->setAccessibleName(OwnName(*box, labels));
}

}  // namespace console
