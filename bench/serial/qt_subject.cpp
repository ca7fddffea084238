// QSerialPort as a Qt developer would use it: readyRead on the main event
// loop, a restarted single-shot QTimer for the 300 ms reply interval.
#include <QCoreApplication>
#include <QEventLoop>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTimer>
#include <stdexcept>
#include <thread>

#include "subject.h"

namespace bench {
namespace {

class QtSubject : public Subject {
public:
    const char* Name() const override { return "QSerialPort"; }

    void Open(const std::string& path) override {
        port_ = std::make_unique<QSerialPort>();
        port_->setPortName(QString::fromStdString(path));
        port_->setBaudRate(115200);
        port_->setFlowControl(QSerialPort::NoFlowControl);
        if (!port_->open(QIODevice::ReadWrite))
            throw std::runtime_error("QSerialPort: " + port_->errorString().toStdString());
    }
    void Close() override {
        port_->close();
        port_.reset();
    }

    bool Receive(std::size_t bytes) override {
        std::size_t got = 0;
        bool intact = true;
        QEventLoop loop;
        const auto connection = QObject::connect(port_.get(), &QSerialPort::readyRead, [&] {
            const QByteArray data = port_->readAll();
            intact &= StreamMatches(data.constData(), static_cast<std::size_t>(data.size()), got);
            got += static_cast<std::size_t>(data.size());
            if (got >= bytes) loop.quit();
        });
        loop.exec();
        QObject::disconnect(connection);
        return intact;
    }

    // Fed a window at a time, the next one when its buffer has emptied.
    void Send(std::size_t bytes, std::size_t block, int doneFd) override {
        QByteArray buffer(static_cast<qsizetype>(block), '\0');
        std::size_t sent = 0;
        const auto queueWindow = [&] {
            for (const std::size_t end = std::min(bytes, sent + kSendWindow); sent < end;) {
                const std::size_t n = std::min(block, end - sent);
                StreamFill(buffer.data(), n, sent);
                port_->write(buffer.constData(), static_cast<qint64>(n));
                sent += n;
            }
        };
        const auto refill = QObject::connect(port_.get(), &QSerialPort::bytesWritten, [&] {
            if (port_->bytesToWrite() == 0) queueWindow();
        });
        queueWindow();
        QEventLoop loop;
        QSocketNotifier peerDone(doneFd, QSocketNotifier::Read);
        QObject::connect(&peerDone, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
        loop.exec();
        QObject::disconnect(refill);
    }

    Clock::time_point AwaitReply() override {
        Clock::time_point at{};
        QEventLoop loop;
        QTimer interval;
        interval.setSingleShot(true);
        interval.setInterval(static_cast<int>(kInterval.count()));
        QObject::connect(&interval, &QTimer::timeout, [&] {
            at = Clock::now();
            loop.quit();
        });
        const auto connection = QObject::connect(port_.get(), &QSerialPort::readyRead, [&] {
            port_->readAll();
            interval.start();
        });
        loop.exec();
        QObject::disconnect(connection);
        return at;
    }

    // QSerialPort has no threads: the owner's event loop serves it. Its
    // wake-ups are the main thread's, less the one of the timer ending the wait.
    long IdleWakeups(std::chrono::milliseconds time) override {
        const std::vector<pid_t> self{::gettid()};
        const long before = ContextSwitches(self);
        long wakeups = 0;
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(time.count()), Qt::PreciseTimer, [&] {
            wakeups = ContextSwitches(self) - before - 1;
            loop.quit();
        });
        loop.exec();
        return wakeups;
    }

private:
    std::unique_ptr<QSerialPort> port_;
};

}  // namespace

std::unique_ptr<Subject> MakeQtSubject() {
    return std::make_unique<QtSubject>();
}

}  // namespace bench
