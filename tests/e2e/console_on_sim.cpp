#include "console_on_sim.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <iostream>

namespace e2e {
namespace {

QString WithoutLineEnds(QString text) {
    text.remove(u'\r');
    while (text.endsWith(u'\n')) text.chop(1);
    return text;
}

// As the operator does it: select the whole text, delete it, type anew.
void TypeInto(QLineEdit& field, const QString& text) {
    field.setFocus();
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_Backspace);
    QTest::keyClicks(&field, text);
}

}  // namespace

QString Shown(std::string_view reply) {
    return WithoutLineEnds(QString::fromLatin1(reply.data(), static_cast<qsizetype>(reply.size())));
}

void ConsoleOnSim::SetUp() {
    ASSERT_NO_FATAL_FAILURE(StartSimulator(SimulatorFlags()));
    form_ = std::make_unique<TForm1>();
    // Observed only: whatever the window does on a hang-up still runs.
    seriallink::TNotifyEvent windowsOwn = form_->comm().OnRequestHangup;
    form_->comm().OnRequestHangup = [count = hangUps_, windowsOwn](seriallink::TComm* sender) {
        ++*count;
        if (windowsOwn) windowsOwn(sender);
    };
    form_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    ASSERT_NO_FATAL_FAILURE(OpenOnSimulator());
}

void ConsoleOnSim::TearDown() {
    if (HasFailure() && sim_) {
        std::cerr << "--- simulator banner: " << sim_->Banner() << "\n--- simulator log:\n"
                  << sim_->Log() << "---\n";
    }
    for (const console_test::SeenBox& box : boxes_.boxes()) {
        std::cerr << "message box seen and closed: " << box.text.toStdString() << "\n";
    }
    form_.reset();
    sim_.reset();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "a message box was left open";
}

void ConsoleOnSim::StartSimulator(std::vector<std::string> flags) {
    sim_.reset();
    flags.insert(flags.end(), {"--delay", "5"});
    sim_ = std::make_unique<vk630sim::testing::SimProcess>(std::move(flags));
    ASSERT_FALSE(sim_->SlavePath().empty()) << "the simulator did not start: " << sim_->Banner();
}

void ConsoleOnSim::PressOpenClose() {
    QTest::mouseClick(ui().Button1, Qt::LeftButton);
}

void ConsoleOnSim::OpenOnSimulator() {
    TypeInto(*ui().SPREALCOM->lineEdit(), QString::fromStdString(sim_->LinkPath()));
    ASSERT_EQ(ui().SPREALCOM->currentText().toStdString(), sim_->LinkPath());
    PressOpenClose();
    ASSERT_TRUE(form_->portOpen()) << "could not open " << sim_->LinkPath();
    ASSERT_EQ(ui().Button1->text(), "Close");
}

QString ConsoleOnSim::ReceiveBox() const {
    return WithoutLineEnds(form_->controls()->Memo10->toPlainText());
}

QString ConsoleOnSim::Exchange(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    const bool replied =
        QTest::qWaitFor([this] { return !ReceiveBox().isEmpty() && !DecodePending(); },
                        static_cast<int>(kReplyDeadline.count()));
    EXPECT_TRUE(replied) << "no reply to " << button->objectName().toStdString() << " (sent "
                         << ui().discomm->text().toStdString() << ")";
    return ReceiveBox();
}

void ConsoleOnSim::ReadParameters() {
    const QString shown = Exchange(ui().Button9);
    EXPECT_EQ(ui().discomm->text(), "PPPPPP#CHEACK1#");
    EXPECT_TRUE(shown.startsWith("BOAT:")) << shown.toStdString();
}

QWidget* ConsoleOnSim::Control(const QString& name) const {
    auto* control = form_->findChild<QWidget*>(name);
    EXPECT_NE(control, nullptr) << "no control " << name.toStdString();
    return control;
}

QAbstractButton* ConsoleOnSim::Button(const QString& name) const {
    return qobject_cast<QAbstractButton*>(Control(name));
}

QString ConsoleOnSim::TextOf(const QString& name) const {
    QWidget* control = Control(name);
    if (auto* box = qobject_cast<QComboBox*>(control)) return box->currentText();
    if (auto* field = qobject_cast<QLineEdit*>(control)) return field->text();
    ADD_FAILURE() << name.toStdString() << " holds no text";
    return {};
}

int ConsoleOnSim::IndexOf(const QString& name) const {
    auto* box = qobject_cast<QComboBox*>(Control(name));
    if (box == nullptr) {
        ADD_FAILURE() << name.toStdString() << " is no choice box";
        return -2;
    }
    return box->currentIndex();
}

void ConsoleOnSim::Apply(const std::vector<Edit>& edits) {
    for (const Edit& edit : edits) {
        const QString text = QString::fromLatin1(edit.text);
        QWidget* control = Control(edit.control);
        if (auto* box = qobject_cast<QComboBox*>(control)) {
            ASSERT_GE(box->findText(text), 0) << edit.control << " has no item " << edit.text;
            TypeInto(*box->lineEdit(), text);
            EXPECT_EQ(box->currentIndex(), box->findText(text)) << edit.control;
        } else if (auto* field = qobject_cast<QLineEdit*>(control)) {
            TypeInto(*field, text);
        } else {
            FAIL() << edit.control << " takes no typed text";
        }
        EXPECT_EQ(TextOf(edit.control), text) << "typing into " << edit.control;
    }
}

void ConsoleOnSim::ExpectWindowShows(const vk630sim::DeviceState& device) {
    auto text = [this](const QString& name) { return TextOf(name).toStdString(); };
    EXPECT_EQ(IndexOf("MR485BT"), device.baudIndex);
    EXPECT_EQ(IndexOf("MR485JN"), device.parityIndex);
    EXPECT_EQ(text("ADRM"), device.address);
    EXPECT_EQ(text("JTME"), device.interval);
    for (int row = 1; row <= 3; ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        const vk630sim::PollingDefinition& polling = device.polling[row - 1];
        const QString n = QString::number(row);
        EXPECT_EQ(IndexOf("MAD" + n + "USE"), polling.commandNumber);
        EXPECT_EQ(text("MAD" + n + "MADR"), polling.startAddress);
        EXPECT_EQ(text("MAD" + n + "DADR"), polling.dataLength);
        EXPECT_EQ(IndexOf("MAD" + n + "XIN"), polling.parseFormat);
        EXPECT_EQ(text("MAD" + n + "XS"), polling.coefficient);
        EXPECT_EQ(text("DataQY" + n), polling.migration);
        const vk630sim::OutputRange& range = device.outputs[row - 1];
        EXPECT_EQ(text("DAO" + n + "H"), range.at4mA);
        EXPECT_EQ(text("DAO" + n + "L"), range.at20mA);
    }
    const bool reduced = device.interval == "000";
    EXPECT_EQ(ui().GroupBox7->isHidden(), reduced);
    EXPECT_EQ(ui().GroupBox5->isHidden(), reduced);
    EXPECT_EQ(ui().GroupBox3->isHidden(), reduced);
    EXPECT_FALSE(ui().GroupBox1->isHidden());
    EXPECT_EQ(ui().Label2->text(), reduced ? "ADDR:00" : "OUT1:");
    EXPECT_EQ(ui().Label3->text(), reduced ? "ADDR:02" : "OUT2:");
    EXPECT_EQ(ui().Label5->text(), reduced ? "ADDR:04" : "OUT3:");
}

}  // namespace e2e
