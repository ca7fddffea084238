// Input rules of the edit boxes, the layout switch on the interval box and
// the writing of decoded values into the controls.
#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <array>
#include <stdexcept>
#include <utility>

#include "console/field_text.h"
#include "console/input_rules.h"
#include "console/tform1.h"
#include "console/typed_characters.h"
#include "dialogue/number_text.h"
#include "ui_tform1.h"

bool TForm1::JTMEKeyPress(char16_t key) {
    return console::IntervalFilterAccepts(key, ui->JTME->text());
}
bool TForm1::DAO1HKeyPress(char16_t key) {
    return console::OutputValueFilterAccepts(key, ui->DAO1H->text());
}
bool TForm1::DAO2HKeyPress(char16_t key) {
    return console::OutputValueFilterAccepts(key, ui->DAO2H->text());
}
bool TForm1::DAO3HKeyPress(char16_t key) {
    return console::OutputValueFilterAccepts(key, ui->DAO3H->text());
}
bool TForm1::DAO1LKeyPress(char16_t key) {
    return console::OutputValueFilterAccepts(key, ui->DAO1L->text());
}
bool TForm1::DAO2LKeyPress(char16_t key) {
    return console::OutputValueFilterAccepts(key, ui->DAO2L->text());
}
bool TForm1::DAO3LKeyPress(char16_t key) {
    return console::OutputValueFilterAccepts(key, ui->DAO3L->text());
}

void TForm1::JTMEChange() {
    if (console::IsReducedLayoutText(ui->JTME->text())) {
        ui->GroupBox7->hide();
        ui->GroupBox5->hide();
        ui->GroupBox3->hide();
        ui->GroupBox1->show();
        ui->Label2->setText(QStringLiteral("ADDR:00"));
        ui->Label3->setText(QStringLiteral("ADDR:02"));
        ui->Label5->setText(QStringLiteral("ADDR:04"));
    } else {
        ui->GroupBox7->show();
        ui->GroupBox5->show();
        ui->GroupBox1->show();
        ui->GroupBox3->show();
        ui->Label2->setText(QStringLiteral("OUT1:"));
        ui->Label3->setText(QStringLiteral("OUT2:"));
        ui->Label5->setText(QStringLiteral("OUT3:"));
    }
}

namespace {

using KeyPressHandler = bool (TForm1::*)(char16_t);

}  // namespace

void TForm1::connectInputRules() {
    for (QLineEdit* box :
         {ui->JTME, ui->DAO1H, ui->DAO2H, ui->DAO3H, ui->DAO1L, ui->DAO2L, ui->DAO3L}) {
        box->installEventFilter(this);
    }
    // textChanged fires for typing and for the program setting a different
    // text, never for the same text again: exactly when the layout may change.
    connect(ui->JTME, &QLineEdit::textChanged, this, [this] { JTMEChange(); });
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    const std::array<std::pair<QObject*, KeyPressHandler>, 7> filters{{
        {ui->JTME, &TForm1::JTMEKeyPress},
        {ui->DAO1H, &TForm1::DAO1HKeyPress},
        {ui->DAO2H, &TForm1::DAO2HKeyPress},
        {ui->DAO3H, &TForm1::DAO3HKeyPress},
        {ui->DAO1L, &TForm1::DAO1LKeyPress},
        {ui->DAO2L, &TForm1::DAO2LKeyPress},
        {ui->DAO3L, &TForm1::DAO3LKeyPress},
    }};
    for (const auto& [box, handler] : filters) {
        if (watched != box) continue;
        // A refused character is swallowed here, before the box sees it.
        return console::FilterTypedCharacters(
            *box, *event,
            [this, handler = handler](char16_t key) { return (this->*handler)(key); });
    }
    return QMainWindow::eventFilter(watched, event);
}

namespace {

void ApplyText(QWidget& control, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
        edit->setText(text);
    } else if (auto* box = qobject_cast<QComboBox*>(&control)) {
        box->setEditText(text);
    } else {
        throw std::logic_error("The control " + control.objectName().toStdString() +
                               " holds no text");
    }
}

// An index outside the list leaves the box with no selection, as the
// device's reply cannot be shown as any of its entries.
void ApplyItemIndex(QWidget& control, int index) {
    auto* box = qobject_cast<QComboBox*>(&control);
    if (box == nullptr) {
        throw std::logic_error("The control " + control.objectName().toStdString() +
                               " is no choice box");
    }
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

void ApplyCaption(QWidget& control, const QString& caption) {
    if (auto* label = qobject_cast<QLabel*>(&control)) {
        label->setText(caption);
    } else if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
        button->setText(caption);
    } else if (auto* group = qobject_cast<QGroupBox*>(&control)) {
        group->setTitle(caption);
    } else {
        throw std::logic_error("The control " + control.objectName().toStdString() +
                               " has no caption");
    }
}

}  // namespace

void TForm1::ApplyUpdates(const dialogue::DecodeOutcome& outcome) {
    using Kind = dialogue::ControlUpdate::Kind;
    for (const dialogue::ControlUpdate& update : outcome.updates) {
        const QString name = QString::fromStdString(update.control);
        auto* control = findChild<QWidget*>(name);
        if (control == nullptr) {
            throw std::logic_error("The window has no control named " + update.control);
        }
        switch (update.kind) {
            case Kind::Text:
                ApplyText(*control, console::TextFromBytes(update.text));
                break;
            case Kind::ItemIndex:
                ApplyItemIndex(*control, update.index);
                break;
            case Kind::Visible:
                control->setVisible(update.visible);
                break;
            case Kind::Caption:
                ApplyCaption(*control, console::TextFromBytes(update.text));
                break;
        }
    }
    if (outcome.error) throw dialogue::OperatorError(*outcome.error);
}
