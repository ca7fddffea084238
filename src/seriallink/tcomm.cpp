#include "seriallink/tcomm.h"

#include <deque>
#include <exception>

#include "seriallink/link_seams.h"
#include "seriallink/notify_channel.h"
#include "seriallink/port_session.h"
#include "seriallink/traffic_tap.h"
#include "seriallink/tty_control.h"

namespace seriallink {

namespace {

// A notification read from the endpoint but not fired yet; owns its chunk.
struct Notification {
    NotifyRecord record;
    ByteBlock chunk;
};

constexpr std::size_t kReadBatch = 256;
constexpr int kBatchesPerDispatch = 4;

// Fires the event of one notification; an event without a handler is
// skipped, an unknown code ignored. The handler is copied so that it may
// reassign its own event.
void Fire(TComm& comm, const Notification& note) {
    switch (note.record.code) {
        case NotifyData:
            if (TReceiveDataEvent handler = comm.OnReceiveData)
                handler(&comm, note.chunk.get(), static_cast<std::uint16_t>(note.record.word));
            break;  // the chunk is released with the notification, handler or not
        case NotifyLineError:
            if (TReceiveErrorEvent handler = comm.OnReceiveError)
                handler(&comm, static_cast<std::uint32_t>(note.record.param));
            break;
        case NotifyHangup:
            if (TNotifyEvent handler = comm.OnRequestHangup) handler(&comm);
            break;
        case NotifyModemState:
            if (TModemStateChangeEvent handler = comm.OnModemStateChange)
                handler(&comm, static_cast<std::uint32_t>(note.record.param));
            break;
        case NotifySendEmpty:
            if (TSendDataEmptyEvent handler = comm.OnSendDataEmpty) handler(&comm);
            break;
        default:  // kWakeCode, or a code nobody posts
            break;
    }
}

// What the traffic tap hears of one notification, before its event fires
// (a handler that answers at once must come after what it answers).
void Tap(TrafficTap* tap, const Notification& note) {
    if (tap == nullptr) return;
    switch (note.record.code) {
        case NotifyData:
            tap->Record({TrafficKind::Rx,
                         {note.chunk.get(), static_cast<std::uint16_t>(note.record.word)}});
            break;
        case NotifyLineError:
            tap->Record(
                {TrafficKind::LineError, {}, static_cast<std::uint32_t>(note.record.param)});
            break;
        case NotifyHangup:
            tap->Record({TrafficKind::Hangup, {}});
            break;
        case NotifyModemState:
            tap->Record({TrafficKind::Modem, {}, static_cast<std::uint32_t>(note.record.param)});
            break;
        default:  // the send-empty notice carries no traffic
            break;
    }
}

}  // namespace

struct TComm::Impl {
    explicit Impl(const LinkSeams& seams)
        : lines(seams.modemLines != nullptr ? *seams.modemLines : SystemModemLines()),
          clock(seams.clock != nullptr ? *seams.clock : SystemClock()) {}

    ModemLines& lines;
    const MonotonicClock& clock;
    // Outlives every open port: what the workers posted before ClosePort is
    // still dispatched after it, like any message already sent.
    NotifyChannel notify;
    // Read but not yet fired. Kept here, not on the stack, so a handler
    // that runs a nested event loop (and so dispatches again) continues
    // with the next notification instead of overtaking the ones read.
    std::deque<Notification> pending;
    std::unique_ptr<PortSession> session;
    TrafficTap* tap = nullptr;
    // The port as opened: CommName and Parity may change before the next
    // open without touching this one.
    std::string openedName;
    TParity openedParity = TParity::None;

    void TapOpen(std::uint32_t baudRate) const {
        if (tap) tap->Record({TrafficKind::Open, openedName, baudRate, openedParity});
    }
};

TComm::TComm() : TComm(LinkSeams{}) {}

TComm::TComm(const LinkSeams& seams) : impl_(std::make_unique<Impl>(seams)) {}

TComm::~TComm() {
    ClosePort();
}

bool TComm::IsOpen() const {
    return impl_->session != nullptr;
}

void TComm::SetTrafficTap(TrafficTap* tap) {
    impl_->tap = tap;
    if (impl_->session) impl_->TapOpen(baudRate_);
}

int TComm::NotifyFd() const {
    return impl_->notify.ReadFd();
}

void TComm::OpenPort() {
    if (impl_->session) throw ECommsError(kMsgAlreadyOpen);
    // Any failure from here on unwinds the session: workers stopped first,
    // then the port closed.
    auto session = std::make_unique<PortSession>(PortDevice::Open(commName_), impl_->notify,
                                                 impl_->lines, impl_->clock);
    WorkerLink& link = session->link;
    // There are no driver queue sizes to set on Linux ("Cannot setup comm
    // buffer" cannot happen); the kernel's own buffers are larger.
    if (!link.Stop().Valid() || !link.HangupRequest().Valid()) throw ECommsError(kMsgCreateEvent);
    tty::Purge(link.PortFd(), tty::Queue::Both);
    WriteTimeouts(*this, *session);
    WriteLineSettings(*this, *session);
    try {
        session->receiver = std::make_unique<TReadThread>(link);
        if (TModemWatcher::Possible(link))
            session->modemWatcher = std::make_unique<TModemWatcher>(link);
    } catch (const std::exception&) {
        session->StopWorkers();
        throw ECommsError(kMsgReadThread);
    }
    try {
        if (!link.Queue().Valid()) throw std::bad_alloc();
        session->transmitter = std::make_unique<TWriteThread>(link);
    } catch (const std::exception&) {
        session->StopWorkers();
        throw ECommsError(kMsgWriteThread);
    }
    impl_->session = std::move(session);
    impl_->openedName = commName_;
    impl_->openedParity = parity_;
    impl_->TapOpen(baudRate_);
}

void TComm::ClosePort() {
    // The session's destructor stops and joins the workers, releases the
    // copies still queued for sending and closes the port.
    if (!impl_->session) return;
    impl_->session.reset();
    if (impl_->tap) impl_->tap->Record({TrafficKind::Close, {}});
}

bool TComm::SendBytes(const void* Buffer, std::uint16_t Length) {
    PortSession* session = impl_->session.get();
    if (session == nullptr || Length == 0 || Buffer == nullptr) return false;
    // A transmit thread that ended on its own takes nothing any more.
    if (!session->link.transmitRunning.load()) return false;
    if (!session->link.Queue().Push(Buffer, Length)) return false;
    if (impl_->tap)
        impl_->tap->Record({TrafficKind::Tx, {static_cast<const char*>(Buffer), Length}});
    return true;
}

void TComm::DispatchNotification() {
    // At most a few batches per call, so a busy line cannot keep the owner's
    // event loop from running; the descriptor stays readable for the rest.
    int batches = kBatchesPerDispatch;
    bool drained = false;
    for (;;) {
        if (impl_->pending.empty()) {
            if (drained || batches-- == 0) return;
            NotifyRecord records[kReadBatch];
            const std::size_t n = impl_->notify.Read(records, kReadBatch);
            drained = n < kReadBatch;  // the pipe held no more than that
            for (std::size_t i = 0; i < n; ++i)
                impl_->pending.push_back({records[i], TakeChunk(records[i])});
            if (n == 0) return;
        }
        const Notification note = std::move(impl_->pending.front());
        impl_->pending.pop_front();
        Tap(impl_->tap, note);
        try {
            Fire(*this, note);
        } catch (...) {
            // The records read but not fired must not wait for new data:
            // keep the descriptor readable so the owner's loop calls again.
            if (!impl_->pending.empty()) impl_->notify.Wake();
            throw;
        }
    }
}

void TComm::ApplyLineSettings() {
    if (impl_->session) WriteLineSettings(*this, *impl_->session);
}

void TComm::ApplyTimeouts() {
    if (impl_->session) WriteTimeouts(*this, *impl_->session);
}

}  // namespace seriallink
