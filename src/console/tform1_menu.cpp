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
#include <utility>

#include "console/commissioning_run.h"
#include "console/field_text.h"
#include "console/program_name.h"
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
    resize(width(), height() + menuBar()->sizeHint().height());
}

void TForm1::OpenSettings1Click() {
    const QString path = console::AskSettingsFile(*this, console::FileQuestion::Open);
    if (!path.isEmpty()) console::ShowFields(*this, console::LoadSettingsFile(path));
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
    if (commissioning_->RequirePortOpen()) commissioning_->Start(console::FieldsOf(*this), true);
}

void TForm1::VerifyAgainstFile1Click() {
    if (!commissioning_->RequirePortOpen()) return;
    const QString path = console::AskSettingsFile(*this, console::FileQuestion::Open);
    if (!path.isEmpty()) commissioning_->Start(console::LoadSettingsFile(path), false);
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
