#include "console/traffic_log_switch.h"

#include <QDir>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <chrono>

namespace console {

TrafficLogSwitch::TrafficLogSwitch(seriallink::TComm& comm) : comm_(comm) {}

TrafficLogSwitch::~TrafficLogSwitch() {
    Stop();
}

void TrafficLogSwitch::Start(const QString& path) {
    Stop();
    auto log = std::make_unique<seriallink::TrafficLog>(path.toStdString());
    notifier_ = std::make_unique<QSocketNotifier>(log->NoticeFd(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &TrafficLogSwitch::LogStopped);
    log_ = std::move(log);
    comm_.SetTrafficTap(log_.get());
}

void TrafficLogSwitch::Stop() {
    comm_.SetTrafficTap(nullptr);
    notifier_.reset();
    log_.reset();
}

void TrafficLogSwitch::LogStopped() {
    const std::optional<std::string> notice = log_ ? log_->TakeStopNotice() : std::nullopt;
    // Closing the file of a log that stopped loses nothing more: it takes
    // no events once it has stopped.
    Stop();
    if (notice) emit stoppedByItself(QString::fromStdString(*notice));
}

QString TrafficLogSwitch::ProposedPath(const std::string& commName) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const std::string name =
        seriallink::TrafficLogFileName(commName, std::chrono::system_clock::now());
    return QDir(folder).filePath(QString::fromStdString(name));
}

}  // namespace console
