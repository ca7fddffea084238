// The window's menu bar: settings files, the write-all and verify runs, and
// the program's name and version. The bar sits above the controls; the
// window grows by its height, so every control keeps its place in the
// client area below it.
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTimer>
#include <utility>

#include "console/calibration_dialog.h"
#include "console/calibration_run.h"
#include "console/commissioning_run.h"
#include "console/field_text.h"
#include "console/program_name.h"
#include "console/record_in_window.h"
#include "console/session_record.h"
#include "console/settings_in_window.h"
#include "console/tform1.h"
#include "console/traffic_log_switch.h"
#include "console/window_fonts.h"
#include "ui_tform1.h"

namespace {

struct MenuItem {
    const char* menu;  // the menu's object name
    const char* name;
    QString text;
    QKeySequence keys;
    QString help;
    void (TForm1::*handler)();
    bool separatorBefore = false;
};

}  // namespace

void TForm1::createMenus() {
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    // Menus by object name, so that an item another part of the program adds
    // finds its menu.
    for (const auto& [name, title] : {std::pair{"File1", "&File"}, std::pair{"Device1", "&Device"},
                                      std::pair{"Help1", "&Help"}}) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(title));
        menu->setObjectName(QString::fromLatin1(name));
        // No status bar shows the help texts; the items' tool tips do.
        menu->setToolTipsVisible(true);
    }
    const MenuItem items[] = {
        {"File1", "OpenSettings1", QStringLiteral("&Open Settings\u2026"),
         QKeySequence(Qt::CTRL | Qt::Key_O),
         QStringLiteral("Fill the fields from a settings file. Nothing is sent."),
         &TForm1::OpenSettings1Click},
        {"File1", "SaveSettings1", QStringLiteral("&Save Settings\u2026"),
         QKeySequence(Qt::CTRL | Qt::Key_S),
         QStringLiteral("Save the fields as they stand. To save what the device holds, press "
                        "\"Read Parameters\" and the \"Query\" buttons of Command1 and Command2 "
                        "first."),
         &TForm1::SaveSettings1Click},
        {"File1", "Quit1", QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q),
         QStringLiteral("Close the window and end the program."), &TForm1::Quit1Click, true},
        {"Device1",
         "WriteAllSettings1",
         QStringLiteral("&Write All Settings"),
         {},
         QStringLiteral("Send every group of fields to the device, top to bottom, then read the "
                        "settings back and compare them."),
         &TForm1::WriteAllSettings1Click},
        {"Device1",
         "VerifyAgainstFile1",
         QStringLiteral("&Verify Against File\u2026"),
         {},
         QStringLiteral("Read the device's settings back and compare them with a settings file. "
                        "Nothing is written."),
         &TForm1::VerifyAgainstFile1Click},
        {"Device1",
         "CalibrateOutputs1",
         QStringLiteral("&Calibrate Outputs\u2026"),
         {},
         QStringLiteral("Check the three current outputs at test points as found, adjust their "
                        "coefficients and check them again as left, in a window of its own."),
         &TForm1::CalibrateOutputs1Click,
         true},
        {"Device1",
         "SaveRecord1",
         QStringLiteral("Save &Record\u2026"),
         {},
         QStringLiteral("Save the record of this unit's last settings run and output check in a "
                        "file; a file of the same unit keeps what it held before."),
         &TForm1::SaveRecord1Click},
        {"Device1",
         "SaveCertificate1",
         QStringLiteral("Save Cer&tificate\u2026"),
         {},
         QStringLiteral("Save a printable certificate (PDF) of the record."),
         &TForm1::SaveCertificate1Click},
        {"Device1",
         "LogTrafficToFile1",
         QStringLiteral("&Log Traffic to File\u2026"),
         {},
         QStringLiteral("Record every frame sent and every reply received, with times, in a file "
                        "of your choice; choose again to stop."),
         &TForm1::LogTrafficToFile1Click,
         true},
        {"Help1",
         "About1",
         QStringLiteral("&About"),
         {},
         QStringLiteral("The program's name and version."),
         &TForm1::About1Click},
    };
    for (const MenuItem& item : items) {
        auto* menu = menuBar()->findChild<QMenu*>(QString::fromLatin1(item.menu));
        if (item.separatorBefore) menu->addSeparator();
        QAction* action = menu->addAction(item.text);
        action->setObjectName(QString::fromLatin1(item.name));
        action->setShortcut(item.keys);
        action->setToolTip(item.help);
        connect(action, &QAction::triggered, this, [this, handler = item.handler] {
            RunAction([this, handler] { (this->*handler)(); });
        });
    }
    // The bar has the window's face, as the top bar has. A menu drops down as
    // a window of its own and takes the desktop's face unless its class has
    // one; the bar makes its overflow menu only once it runs out of room.
    QApplication::setFont(console::WindowFace(), "QMenu");

    auto* logItem = findChild<QAction*>(QStringLiteral("LogTrafficToFile1"));
    logItem->setCheckable(true);
    connect(trafficLog_.get(), &console::TrafficLogSwitch::stoppedByItself, this,
            [this, logItem](const QString& notice) {
                logItem->setChecked(false);
                auto* box = new QMessageBox(QMessageBox::Warning,
                                            QString::fromLatin1(console::kProgramName), notice,
                                            QMessageBox::Ok, this);
                box->setAttribute(Qt::WA_DeleteOnClose);
                box->setTextFormat(Qt::PlainText);
                box->open();  // the exchange goes on while it is shown
            });
    // A settings run's result goes into the unit's record.
    connect(commissioning_, &console::CommissioningRun::finished, this, [this] {
        const settings::Commissioning& run = *commissioning_->run();
        const bool readBack = run.outcome() == settings::Outcome::Verified ||
                              run.outcome() == settings::Outcome::Differences;
        sessionRecord_->SettingsRunEnded(
            run, commissioning_->framesWritten(),
            readBack ? ui->ADRM->text().toLatin1().toStdString() : std::string(), Comm1.CommName());
    });
    resize(width(), height() + menuBar()->sizeHint().height());
}

void TForm1::OpenSettings1Click() {
    const QString path = console::AskSettingsFile(*this, console::FileQuestion::Open);
    if (path.isEmpty()) return;
    QByteArray bytes;
    console::ShowFields(*this, console::LoadSettingsFile(path, &bytes));
    sessionRecord_->FileOpened(path, bytes, console::FieldsOf(*this));
}

void TForm1::SaveSettings1Click() {
    // Read first: a field no frame could carry is named before a file is chosen.
    const settings::Fields fields = console::FieldsOf(*this);
    const QString path = console::AskSettingsFile(
        *this, console::FileQuestion::Save,
        QStringLiteral("vk630e-%1.json").arg(console::TextFromBytes(fields.texts.at("ADRM"))));
    if (!path.isEmpty()) console::SaveSettingsFile(path, fields);
}

void TForm1::Quit1Click() {
    close();
}

// The window's fields are what is written: "Open Settings…" puts a file's
// settings there first, where the technician sees and may adjust them.
void TForm1::WriteAllSettings1Click() {
    if (!commissioning_->RequirePortOpen()) return;
    const settings::Fields fields = console::FieldsOf(*this);
    sessionRecord_->WriteAllStarting(fields);
    commissioning_->Start(fields, true);
}

void TForm1::VerifyAgainstFile1Click() {
    if (!commissioning_->RequirePortOpen()) return;
    const QString path = console::AskSettingsFile(*this, console::FileQuestion::Open);
    if (path.isEmpty()) return;
    QByteArray bytes;
    const settings::Fields fields = console::LoadSettingsFile(path, &bytes);
    sessionRecord_->VerifyStarting(path, bytes);
    commissioning_->Start(fields, false);
}

void TForm1::About1Click() {
    QMessageBox::about(
        this, QStringLiteral("About %1").arg(QString::fromLatin1(console::kProgramName)),
        QStringLiteral("%1 Transmitter Configuration Software\nVersion %2")
            .arg(QString::fromLatin1(console::kProgramName), QStringLiteral(VK630E_VERSION)));
}

void TForm1::LogTrafficToFile1Click() {
    auto* item = findChild<QAction*>(QStringLiteral("LogTrafficToFile1"));
    // The tick follows the log, whether it started, stopped or failed to.
    const auto showState = qScopeGuard([&] { item->setChecked(trafficLog_->running()); });
    if (trafficLog_->running()) {
        trafficLog_->Stop();
        return;
    }
    QFileDialog dialog(this, QStringLiteral("Log Traffic to File"), {},
                       QStringLiteral("Traffic logs (*.log);;All files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A log adds to the end of an existing file; nothing is overwritten.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(
        console::TrafficLogSwitch::ProposedPath(ui->SPREALCOM->currentText().toStdString()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    trafficLog_->Start(dialog.selectedFiles().constFirst());
}

// The dialog is made on first use, so the window starts no slower for it.
void TForm1::CalibrateOutputs1Click() {
    if (!commissioning_->RequirePortOpen()) return;
    if (calibration_ == nullptr) calibration_ = new console::CalibrationRun(*this, *sessionRecord_);
    console::CalibrationDialog& dialog = calibration_->dialog();
    dialog.show();
    // A menu left by its letters hands the focus back to the window as it
    // closes; the dialog takes it once the menu has gone.
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.activateWindow(); });
}

void TForm1::SaveRecord1Click() {
    if (!sessionRecord_->HasNews()) return console::SayNothingToRecord(*this);
    const calibration::Record update = sessionRecord_->News(calibration::NowIso8601());
    const QString path =
        console::AskRecordFile(*this, console::RecordQuestion::Record, update.unit);
    if (path.isEmpty()) return;
    sessionRecord_->Saved(console::SaveRecordFile(path, update));
    // The unit leaves the bench with its record; the next one gets its own tag.
    if (calibration_) calibration_->dialog().ClearTag();
}

void TForm1::SaveCertificate1Click() {
    const auto record = sessionRecord_->ForCertificate(calibration::NowIso8601());
    if (!record) return console::SayNothingToRecord(*this);
    const QString path =
        console::AskRecordFile(*this, console::RecordQuestion::Certificate, record->unit);
    if (!path.isEmpty()) console::SaveCertificateFile(path, *record);
}
