// The traffic log as the window offers it: off at every start, switched on
// with a file the operator chooses (or `vk630e --log FILE`), off again at
// the second choice. A log that stops by itself (a full disk, its folder
// removed) says why in one line; the exchange goes on without it.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "seriallink/tcomm.h"
#include "seriallink/traffic_log.h"

class QSocketNotifier;

namespace console {

class TrafficLogSwitch : public QObject {
    Q_OBJECT

public:
    explicit TrafficLogSwitch(seriallink::TComm& comm);
    // Detaches the log before the component goes, so the component never
    // writes to a log that is gone.
    ~TrafficLogSwitch() override;

    // Starts a log in `path`; throws std::system_error with the system's
    // words when the file cannot be opened. A running log is stopped first.
    void Start(const QString& path);
    void Stop();
    bool running() const { return log_ != nullptr; }

    // The file proposed for a new log: in the documents folder, named after
    // the port and the time.
    static QString ProposedPath(const std::string& commName);

signals:
    // The log stopped by itself; `notice` says why in one line.
    void stoppedByItself(const QString& notice);

private:
    void LogStopped();

    seriallink::TComm& comm_;
    std::unique_ptr<seriallink::TrafficLog> log_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace console
