// Command buttons: each reads the fields its frame carries, has the frame
// composed by the dialogue and hands it to the exchange cycle with the reply
// kind the command expects (nothing where the kind is left as it was).
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "console/field_text.h"
#include "console/program_name.h"
#include "console/tform1.h"
#include "dialogue/coefficients.h"
#include "dialogue/frames.h"
#include "ui_tform1.h"

using namespace dialogue;

namespace {

constexpr std::nullopt_t kUnchanged = std::nullopt;

std::string Text(const QLineEdit& field) {
    return console::FieldBytes(field.text(), field.objectName());
}

int Index(const QComboBox& box) {
    return box.currentIndex();
}

// Frames are checked against the one-send limit here, where the operator's
// texts have been composed, so an over-long frame never reaches the send line.
void Send(TForm1& form, const std::string& frame, std::optional<std::int32_t> kind) {
    console::RequireOneSend(frame);
    form.SendFrame(frame, kind);
}

void SendPollingRow(TForm1& form, int row, const QComboBox& use, const QLineEdit& startAddress,
                    const QLineEdit& dataLength, const QComboBox& format,
                    const QLineEdit& coefficient, const QLineEdit& migration) {
    const PollingRow fields{Index(use),    Text(startAddress), Text(dataLength),
                            Index(format), Text(coefficient),  Text(migration)};
    Send(form, PollingFrame(row, fields), kUnchanged);
}

// A command is hexadecimal text, two characters per byte: an odd count is
// refused with the console's own input message and nothing else happens.
void SendCommandWrite(TForm1& form, int slot, const QComboBox& enable, const QLineEdit& command) {
    const std::string text = Text(command);
    if (!IsEvenLength(text)) {
        QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(console::kProgramName),
                        QString::fromLatin1(kMsgOddCommand), QMessageBox::Ok, &form);
        box.exec();
        return;
    }
    Send(form, CommandWriteFrame(slot, Index(enable), text), KindCommandWrite);
}

}  // namespace

void TForm1::Button2Click() {
    Send(*this, CommunicationQueryFrame(), KindDisplayOnly);
}
void TForm1::Button9Click() {
    Send(*this, ReadParametersFrame(), KindParameters);
}
void TForm1::Button4Click() {
    Send(*this, ReadDataFrame(), KindDisplayOnly);
}

void TForm1::Button17Click() {
    Send(*this, LineSettingsFrame(Index(*ui->MR485BT), Index(*ui->MR485JN)), kUnchanged);
}
void TForm1::Button5Click() {
    Send(*this, IntervalFrame(Text(*ui->JTME)), kUnchanged);
}
void TForm1::Button10Click() {
    Send(*this, AddressFrame(Text(*ui->ADRM)), kUnchanged);
}

void TForm1::Button6Click() {
    Send(*this, OutputRangeFrame(1, Text(*ui->DAO1H), Text(*ui->DAO1L)), KindDisplayOnly);
}
void TForm1::Button7Click() {
    Send(*this, OutputRangeFrame(2, Text(*ui->DAO2H), Text(*ui->DAO2L)), KindDisplayOnly);
}
void TForm1::Button8Click() {
    Send(*this, OutputRangeFrame(3, Text(*ui->DAO3H), Text(*ui->DAO3L)), KindDisplayOnly);
}

void TForm1::Button170Click() {
    SendPollingRow(*this, 1, *ui->MAD1USE, *ui->MAD1MADR, *ui->MAD1DADR, *ui->MAD1XIN, *ui->MAD1XS,
                   *ui->DataQY1);
}
void TForm1::Button171Click() {
    SendPollingRow(*this, 2, *ui->MAD2USE, *ui->MAD2MADR, *ui->MAD2DADR, *ui->MAD2XIN, *ui->MAD2XS,
                   *ui->DataQY2);
}
void TForm1::Button172Click() {
    SendPollingRow(*this, 3, *ui->MAD3USE, *ui->MAD3MADR, *ui->MAD3DADR, *ui->MAD3XIN, *ui->MAD3XS,
                   *ui->DataQY3);
}

void TForm1::Button76Click() {
    Send(*this, CommandTextQueryFrame(1), KindCommandText);
}
void TForm1::Button73Click() {
    SendCommandWrite(*this, 1, *ui->COMAD1, *ui->COMDDATA1);
}
void TForm1::Button74Click() {
    Send(*this, CommandParseQueryFrame(1), KindCommandParse);
}
void TForm1::Button75Click() {
    Send(*this, CommandParseFrame(1, Text(*ui->ACOMBY1), Text(*ui->ACOMBY2), Text(*ui->ACOMBY3)),
         KindCommandParse);
}

void TForm1::Button81Click() {
    Send(*this, CommandTextQueryFrame(2), KindCommandText);
}
void TForm1::Button3Click() {
    SendCommandWrite(*this, 2, *ui->COMAD2, *ui->COMDDATA2);
}
void TForm1::Button79Click() {
    Send(*this, CommandParseQueryFrame(2), KindCommandParse);
}
void TForm1::Button80Click() {
    Send(*this, CommandParseFrame(2, Text(*ui->BCOMBY1), Text(*ui->BCOMBY2), Text(*ui->BCOMBY3)),
         KindCommandParse);
}

void TForm1::Button11Click() {
    Send(*this, TestModeFrame(console::FieldToInt(ui->Edit1->text())), KindDisplayOnly);
}

void TForm1::Button12Click() {
    const char separator = console::SystemDecimalSeparator();
    const std::array<const QLineEdit*, 4> inputs{ui->Edit1, ui->Edit2, ui->Edit3, ui->Edit5};
    // Every input is converted, in order, before anything is computed, so the
    // first field that is no number is the one the message names.
    std::array<std::string, 4> texts;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        console::FieldToFloat(inputs[i]->text(), separator);
        texts[i] = inputs[i]->text().toLatin1().toStdString();
    }
    const std::array<std::string, 3> coefficients =
        CalculateCoefficients(texts[0], texts[1], texts[2], texts[3], separator);
    ui->MAD1XS->setText(console::TextFromBytes(coefficients[0]));
    ui->MAD2XS->setText(console::TextFromBytes(coefficients[1]));
    ui->MAD3XS->setText(console::TextFromBytes(coefficients[2]));
}
