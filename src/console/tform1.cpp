#include "console/tform1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSocketNotifier>
#include <cstdint>
#include <exception>
#include <utility>

#include "console/calibration_run.h"
#include "console/choice_box_names.h"
#include "console/commissioning_run.h"
#include "console/field_text.h"
#include "console/jpeg_picture.h"
#include "console/open_failure.h"
#include "console/port_feeder.h"
#include "console/port_reopener.h"
#include "console/program_name.h"
#include "console/session_record.h"
#include "console/traffic_log_switch.h"
#include "console/unplug_notice.h"
#include "console/window_exchange_host.h"
#include "console/window_fonts.h"
#include "console/window_palette.h"
#include "ports/open_diagnosis.h"
#include "seriallink/console_defaults.h"
#include "ui_tform1.h"

// Outside any namespace: the resource's entry point is a global function.
static void RegisterArtwork() {
    // The artwork lives in this static library; registering it here also
    // keeps the linker from dropping it.
    static const bool registered = [] {
        Q_INIT_RESOURCE(console);
        return true;
    }();
    (void)registered;
}

namespace {

// The baud box takes any decimal integer, listed or not; a rate of zero or
// below is an integer yet names no line speed, and is refused as such.
std::uint32_t BaudRateFromText(const QString& text) {
    const std::int32_t rate = console::FieldToInt(text);
    if (rate <= 0)
        throw console::FieldError(
            QStringLiteral("'%1' is not a valid baud rate; enter a positive rate such as 9600")
                .arg(text));
    return static_cast<std::uint32_t>(rate);
}

// With a text of the operator's own and no item selected, a text equal to an
// item counts as that item; any other text names no parity the line knows,
// so the port is not opened with a setting nobody chose.
seriallink::TParity ParityFromBox(const QComboBox& box) {
    int index = box.currentIndex();
    if (index < 0) index = box.findText(box.currentText());
    if (index < 0 || index > 2)
        throw console::FieldError(
            QStringLiteral("'%1' is not a valid parity; choose None, Odd or Even")
                .arg(box.currentText()));
    return static_cast<seriallink::TParity>(index);
}

constexpr int kExplanationColumns = 64;

// `explanation`, when there is one, says below the message what is wrong on
// this machine and what to do.
void ShowErrorBox(QWidget* parent, QString message, const QString& explanation) {
    message = QString::fromStdString(ports::AsTheErrorBoxShowsIt(message.toStdString()));
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(console::kProgramName), message,
                    QMessageBox::Ok, parent);
    box.setInformativeText(explanation);
    // The explanation names device paths, which a narrow box breaks at their
    // slashes: room for a by-id path keeps one whole on a line. A path is any
    // text, "<b>" or "&lt;" included, and is shown as it is, never as markup.
    if (auto* text = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
        text->setTextFormat(Qt::PlainText);
        text->setMinimumWidth(text->fontMetrics().averageCharWidth() * kExplanationColumns);
    }
    box.exec();
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent), ui(std::make_unique<Ui::TForm1>()) {
    RegisterArtwork();
    {
        const console::WindowFaceWhileMaking face;
        console::ApplyWindowFont(*this);
        console::ApplyWindowPalette(*this);
        ui->setupUi(this);
    }
    console::ApplyOwnFaces(*ui);
    console::NameChoiceBoxFields(*this);
    // The description's outer position; on a platform without frames the
    // client area starts there.
    move(391, 186);
    console::ShowJpeg(*ui->Image2, QStringLiteral(":/console/logo.jpg"));
    console::ShowJpegWhenShown(*ui->Image1, QStringLiteral(":/console/wiring.jpg"));

    seriallink::ApplyConsoleDefaults(Comm1);
    Comm1.OnReceiveData = [this](seriallink::TComm* sender, const void* buffer,
                                 std::uint16_t length) {
        Comm1ReceiveData(sender, buffer, length);
    };
    // The serial threads reach this thread only through the component's
    // endpoint; the event loop drains it, so every event runs here in order.
    commNotifier_ = new QSocketNotifier(Comm1.NotifyFd(), QSocketNotifier::Read, this);
    connect(commNotifier_, &QSocketNotifier::activated, this,
            [this] { RunAction([this] { Comm1.DispatchNotification(); }); });

    Comm1.OnRequestHangup = [this](seriallink::TComm* sender) { Comm1RequestHangup(sender); };
    // Ports are listed once the window has been painted (see event()).
    portFeeder_ = new console::PortFeeder(*ui->SPREALCOM, ui->SPREALCOM->count(), this);
    unplugNotice_ = new console::UnplugNotice(ui->centralWidget);
    portReopener_ = new console::PortReopener(Comm1, *unplugNotice_, *portFeeder_, this);
    connect(portFeeder_, &console::PortFeeder::devicesChanged, portReopener_,
            &console::PortReopener::DevicesChanged);

    Timer2.setSingleShot(true);
    Timer2.setInterval(100);
    Timer2.setTimerType(Qt::PreciseTimer);

    exchange_ = std::make_unique<dialogue::ExchangeCycle>(*new console::WindowExchangeHost(*this));
    connectHandlers();
    connectInputRules();
    commissioning_ = new console::CommissioningRun(*this);
    sessionRecord_ = std::make_unique<console::SessionRecord>();
    trafficLog_ = std::make_unique<console::TrafficLogSwitch>(Comm1);
    createMenus();
}

TForm1::~TForm1() {
    // Nothing may watch the endpoint once the component has closed it.
    delete commNotifier_;
    commNotifier_ = nullptr;
}

void TForm1::RunAction(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& error) {
        ShowErrorBox(this, console::OperatorMessage(error), console::ExplanationOf(error));
    }
}

void TForm1::SendFrame(const std::string& frame, std::optional<std::int32_t> kind) {
    exchange_->Send(frame, kind);
}

void TForm1::Button1Click() {
    if (PortOpen) {
        PortOpen = false;
        portReopener_->Stop();
        ui->Button1->setText(QStringLiteral("Open"));
        Comm1.ClosePort();
        return;
    }
    unplugNotice_->Dismiss();
    Comm1.ClosePort();
    Comm1.SetBaudRate(BaudRateFromText(ui->ComboBox4->currentText()));
    Comm1.SetParity(ParityFromBox(*ui->ComboBox3));
    Comm1.SetCommName(QFile::encodeName(ui->SPREALCOM->currentText()).toStdString());
    Comm1.SetOutx_XonXoffFlow(false);
    Comm1.SetInx_XonXoffFlow(false);
    try {
        Comm1.OpenPort();
    } catch (const seriallink::ECommsError& error) {
        console::ThrowExplained(error, Comm1.CommName(), portFeeder_->places());
    }
    PortOpen = true;
    portReopener_->Opened();
    ui->Button1->setText(QStringLiteral("Close"));
}

void TForm1::Comm1ReceiveData(seriallink::TComm*, const void* Buffer, std::uint16_t BufferLength) {
    exchange_->Receive(Buffer, BufferLength);
    commissioning_->ReplyReceived();
    if (calibration_) calibration_->ReplyReceived({static_cast<const char*>(Buffer), BufferLength});
}

void TForm1::Timer2Timer() {
    exchange_->Tick();
    commissioning_->ReplyDecoded();
    if (calibration_) calibration_->ReplyDecoded();
}

void TForm1::Comm1RequestHangup(seriallink::TComm*) {
    unplugNotice_->PortGone(Comm1.CommName());
    commissioning_->PortHungUp();
    if (calibration_) calibration_->PortHungUp();
    portReopener_->HungUp();
}

bool TForm1::event(QEvent* event) {
    // Listing the ports waits until the window has been painted once, so
    // the first sight of it costs nothing.
    if (event->type() == QEvent::Paint && !portFeeder_->started())
        QTimer::singleShot(0, portFeeder_, [this] {
            if (!portFeeder_->started()) portFeeder_->Start();
        });
    return QMainWindow::event(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The port and its threads must be free once the program has ended.
    Timer2.stop();
    Comm1.ClosePort();
    QMainWindow::closeEvent(event);
}

void TForm1::connectHandlers() {
    const std::pair<QPushButton*, void (TForm1::*)()> clicks[] = {
        {ui->Button1, &TForm1::Button1Click},     {ui->Button2, &TForm1::Button2Click},
        {ui->Button9, &TForm1::Button9Click},     {ui->Button4, &TForm1::Button4Click},
        {ui->Button17, &TForm1::Button17Click},   {ui->Button5, &TForm1::Button5Click},
        {ui->Button10, &TForm1::Button10Click},   {ui->Button6, &TForm1::Button6Click},
        {ui->Button7, &TForm1::Button7Click},     {ui->Button8, &TForm1::Button8Click},
        {ui->Button170, &TForm1::Button170Click}, {ui->Button171, &TForm1::Button171Click},
        {ui->Button172, &TForm1::Button172Click}, {ui->Button76, &TForm1::Button76Click},
        {ui->Button73, &TForm1::Button73Click},   {ui->Button74, &TForm1::Button74Click},
        {ui->Button75, &TForm1::Button75Click},   {ui->Button81, &TForm1::Button81Click},
        {ui->Button3, &TForm1::Button3Click},     {ui->Button79, &TForm1::Button79Click},
        {ui->Button80, &TForm1::Button80Click},   {ui->Button11, &TForm1::Button11Click},
        {ui->Button12, &TForm1::Button12Click},
    };
    for (const auto& [button, handler] : clicks)
        connect(button, &QPushButton::clicked, this,
                [this, handler = handler] { RunAction([this, handler] { (this->*handler)(); }); });
    connect(&Timer2, &QTimer::timeout, this, [this] { RunAction([this] { Timer2Timer(); }); });
}
