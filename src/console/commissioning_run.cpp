#include "console/commissioning_run.h"

#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>
#include <vector>

#include "console/field_text.h"
#include "console/program_name.h"
#include "console/tform1.h"
#include "console/window_fonts.h"

namespace console {
namespace {

QString FromBytes(const std::string& text) {
    return TextFromBytes(text).toHtmlEscaped();
}

QString DifferenceTable(const std::vector<settings::Difference>& differences) {
    QString rows = QStringLiteral(
        "<tr><th align=left>Setting</th><th align=left>Written</th>"
        "<th align=left>Read back</th></tr>");
    for (const settings::Difference& difference : differences)
        rows += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>")
                    .arg(FromBytes(difference.path), FromBytes(difference.written),
                         FromBytes(difference.readBack));
    return QStringLiteral("<table cellspacing=4>%1</table>").arg(rows);
}

// Each names its group and why it was not sent.
QString SkippedList(const std::vector<std::string>& skipped) {
    QStringList lines;
    for (const std::string& group : skipped) lines << TextFromBytes(group);
    return lines.join(u'\n');
}

// Shown without a nested event loop: the run ends inside the serial
// component's event or the decode tick, which must return first.
void ShowResult(QWidget& parent, QMessageBox::Icon icon, const QString& text,
                const QString& details, Qt::TextFormat format = Qt::PlainText) {
    auto* box =
        new QMessageBox(icon, QString::fromLatin1(kProgramName), text, QMessageBox::Ok, &parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextFormat(format);
    box->setInformativeText(details);
    box->open();
}

}  // namespace

CommissioningRun::CommissioningRun(TForm1& window) : QObject(&window), window_(window) {
    connect(&replyTimeout_, &QTimer::timeout, this,
            [this] { Drive([this] { run_->TimedOut(); }); });
    BuildProgressDialog();
}

CommissioningRun::~CommissioningRun() = default;

void CommissioningRun::BuildProgressDialog() {
    progress_ = new QDialog(&window_);
    progress_->setObjectName(QStringLiteral("CommissioningProgress"));
    // A window of its own takes the desktop's face and colours unless told
    // the window's.
    progress_->setFont(ContentsFace());
    progress_->setPalette(window_.palette());
    progress_->setWindowTitle(QString::fromLatin1(kProgramName));
    // Not blocking the event loop, yet keeping the window's own buttons from
    // sending frames in between.
    progress_->setWindowModality(Qt::WindowModal);
    progressText_ = new QLabel(progress_);
    progressText_->setMinimumWidth(320);
    progressBar_ = new QProgressBar(progress_);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), progress_);
    auto* layout = new QVBoxLayout(progress_);
    layout->addWidget(progressText_);
    layout->addWidget(progressBar_);
    layout->addWidget(cancel_, 0, Qt::AlignRight);
    connect(cancel_, &QPushButton::clicked, this, &CommissioningRun::Cancel);
    connect(progress_, &QDialog::rejected, this, &CommissioningRun::Cancel);
}

bool CommissioningRun::RequirePortOpen() {
    if (window_.portOpen()) return true;
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kProgramName),
                    QStringLiteral("Open the serial port first."), QMessageBox::Ok, &window_);
    box.exec();
    return false;
}

bool CommissioningRun::running() const {
    return run_ && run_->outcome() == settings::Outcome::Running;
}

void CommissioningRun::Start(const settings::Fields& fields, bool write) {
    if (running()) return;
    std::vector<std::string> skipped;
    writeFrames_ = write ? static_cast<int>(settings::WriteSteps(fields, skipped).size()) : 0;
    const std::size_t frames =
        static_cast<std::size_t>(writeFrames_) + settings::ReadBackSteps().size();
    run_ = std::make_unique<settings::Commissioning>(*this, fields, write, true);
    framesSent_ = 0;
    awaitingReply_ = false;
    replyTimeout_.setInterval(settings::ReplyTimeoutMs(window_.comm().BaudRate()));
    progressBar_->setRange(0, static_cast<int>(frames));
    progressBar_->setValue(0);
    cancel_->setEnabled(true);
    progress_->setWindowTitle(write ? QStringLiteral("Write All Settings")
                                    : QStringLiteral("Verify Against File"));
    progress_->show();
    Drive([this] { run_->Start(); });
}

void CommissioningRun::ReplyReceived() {
    // A display-only reply starts no decode: received is dealt with. A decode
    // already pending takes this chunk with it, and its tick tells.
    if (!window_.decodeTimer().isActive()) ReplyDecoded();
}

void CommissioningRun::Decoded(const dialogue::DecodeOutcome& outcome) {
    if (running()) run_->Decoded(outcome);
}

void CommissioningRun::ReplyDecoded() {
    if (!running() || !awaitingReply_) return;
    awaitingReply_ = false;
    Drive([this] { run_->ReplyDecoded(); });
}

void CommissioningRun::PortHungUp() {
    if (running()) Drive([this] { run_->HungUp(); });
}

void CommissioningRun::Cancel() {
    if (!running()) return;
    progressText_->setText(QStringLiteral("Stopping after the frame in flight\u2026"));
    cancel_->setEnabled(false);
    Drive([this] { run_->Cancel(); });
}

void CommissioningRun::Send(const settings::Step& step) {
    awaitingReply_ = true;
    progressBar_->setValue(++framesSent_);
    window_.SendFrame(step.frame, step.kind);
}

void CommissioningRun::StartReplyTimeout() {
    replyTimeout_.start();
}

void CommissioningRun::StopReplyTimeout() {
    replyTimeout_.stop();
}

void CommissioningRun::Progress(const std::string& text) {
    progressText_->setText(TextFromBytes(text));
}

template <class Step>
void CommissioningRun::Drive(Step step) {
    if (!running()) return;
    step();
    if (!running()) Finish();
}

void CommissioningRun::Finish() {
    replyTimeout_.stop();
    progress_->hide();
    const QString port = QFile::decodeName(window_.comm().CommName().c_str());
    const QString skipped = SkippedList(run_->skipped());
    switch (run_->outcome()) {
        case settings::Outcome::Verified:
            ShowResult(
                window_, QMessageBox::Information,
                QStringLiteral("All %1 settings verified on %2").arg(run_->checked()).arg(port),
                skipped);
            break;
        case settings::Outcome::Differences: {
            const std::size_t count = run_->differences().size();
            const QString heading = count == 1 ? QStringLiteral("1 setting differs")
                                               : QStringLiteral("%1 settings differ").arg(count);
            ShowResult(
                window_, QMessageBox::Warning,
                QStringLiteral("%1 on %2:%3")
                    .arg(heading, port.toHtmlEscaped(), DifferenceTable(run_->differences())),
                skipped, Qt::RichText);
            break;
        }
        case settings::Outcome::NoReply:
            ShowResult(window_, QMessageBox::Warning,
                       QStringLiteral("No reply within %1 s. %2")
                           .arg(replyTimeout_.interval() / 1000.0)
                           .arg(TextFromBytes(run_->Summary())),
                       skipped);
            break;
        default:
            ShowResult(
                window_, QMessageBox::Warning,
                (run_->outcome() == settings::Outcome::HungUp ? QStringLiteral("The line hung up. ")
                                                              : QStringLiteral("Cancelled. ")) +
                    TextFromBytes(run_->Summary()),
                skipped);
            break;
    }
    emit finished();
}

}  // namespace console
