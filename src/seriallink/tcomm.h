// TComm: one serial port with its line settings, a receive thread and a
// transmit thread. Operations and events run on the owner's thread; the two
// workers reach it only through the notification endpoint (NotifyFd), which
// the owner's event loop watches and drains with DispatchNotification.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace seriallink {

// Raised by OpenPort only; the message is one of the fixed texts below.
// The system's error number of the step that failed goes with it (0 where
// no system call failed), so that the caller can tell a missing device
// from a busy or a broken one without another message.
class ECommsError : public std::runtime_error {
public:
    explicit ECommsError(const char* message, int errorNumber = 0)
        : std::runtime_error(message), errorNumber_(errorNumber) {}
    int ErrorNumber() const { return errorNumber_; }

private:
    int errorNumber_;
};

inline constexpr const char* kMsgAlreadyOpen = "This serial port already opened";
inline constexpr const char* kMsgOpenFailed = "Error opening serial port";
inline constexpr const char* kMsgNotCommHandle = "File handle is not a comm handle ";
inline constexpr const char* kMsgSetupBuffer = "Cannot setup comm buffer";
inline constexpr const char* kMsgCreateEvent = "Unable to create event";
inline constexpr const char* kMsgReadThread = "Unable to create read thread";
inline constexpr const char* kMsgWriteThread = "Unable to create write thread";

enum class TParity : std::uint8_t { None, Odd, Even, Mark, Space };
enum class TStopBits : std::uint8_t { _1, _1_5, _2 };
enum class TByteSize : std::uint8_t { _5, _6, _7, _8 };
enum class TDtrControl : std::uint8_t { DtrEnable, DtrDisable, DtrHandshake };
enum class TRtsControl : std::uint8_t {
    RtsEnable,
    RtsDisable,
    RtsHandshake,
    RtsTransmissionAvailable
};

// Codes carried by the notification endpoint: the first user message number
// (1024) plus 1 to 5.
enum NotifyCode : std::uint32_t {
    NotifyData = 1025,        // word: chunk length, long: the chunk
    NotifyLineError = 1026,   // long: line-error flags
    NotifyHangup = 1027,      //
    NotifyModemState = 1028,  // long: modem event code
    NotifySendEmpty = 1029,   //
};

// Line-error flags of OnReceiveError.
enum LineErrorFlag : std::uint32_t {
    CE_RXOVER = 1,    // receive queue overflow
    CE_OVERRUN = 2,   // hardware overrun
    CE_RXPARITY = 4,  // parity error
    CE_FRAME = 8,     // framing error
    CE_BREAK = 16,    // break condition
};

// Modem event codes of OnModemStateChange.
enum ModemEventFlag : std::uint32_t {
    ModemRing = 4,     // ring indicator fired
    ModemCarrier = 8,  // carrier-detect line changed
};

class TComm;
class TrafficTap;
struct LinkSeams;
using TNotifyEvent = std::function<void(TComm* Sender)>;
using TReceiveDataEvent =
    std::function<void(TComm* Sender, const void* Buffer, std::uint16_t BufferLength)>;
using TReceiveErrorEvent = std::function<void(TComm* Sender, std::uint32_t EventMask)>;
using TModemStateChangeEvent = std::function<void(TComm* Sender, std::uint32_t ModemEvent)>;
using TSendDataEmptyEvent = std::function<void(TComm* Sender)>;

class TComm {
public:
    TComm();
    // With modem lines or a clock of the caller's own (see link_seams.h).
    explicit TComm(const LinkSeams& seams);
    ~TComm();  // closes a port that is still open, so no worker outlives us
    TComm(const TComm&) = delete;
    TComm& operator=(const TComm&) = delete;

    // Opens CommName and starts both workers; throws ECommsError.
    void OpenPort();
    // Stops both workers and closes the port; does nothing when closed.
    void ClosePort();
    // Queues a copy of the bytes for the transmit thread; false when the port
    // is closed, Length is 0 or the copy could not be handed over.
    bool SendBytes(const void* Buffer, std::uint16_t Length);

    bool IsOpen() const;

    // From now on every block SendBytes accepts, every chunk and line event
    // dispatched, every open and close is told to `tap` as well, until
    // another tap (or nullptr) replaces it; the caller keeps it alive until
    // then. A tap attached while the port is open first hears that port's
    // open, so a log started midway says what it is a log of.
    void SetTrafficTap(TrafficTap* tap);

    // The owner's event loop watches this descriptor for reading and calls
    // DispatchNotification whenever it is readable. Valid for the lifetime
    // of the component, open or closed.
    int NotifyFd() const;
    // Fires the events for the notifications that have arrived, in posting
    // order, on the calling (owner's) thread. A call takes at most about a
    // thousand, so a busy line cannot starve the owner's loop; NotifyFd stays
    // readable while more are waiting.
    void DispatchNotification();

    // Published properties. Setters of line settings and timeouts re-apply
    // them at once while open when the value changes; CommName and Parity
    // are used at the next open.
    const std::string& CommName() const { return commName_; }
    void SetCommName(const std::string& value);
    std::uint32_t BaudRate() const { return baudRate_; }
    void SetBaudRate(std::uint32_t value);
    bool ParityCheck() const { return parityCheck_; }
    void SetParityCheck(bool value);
    bool Outx_CtsFlow() const { return outxCtsFlow_; }
    void SetOutx_CtsFlow(bool value);
    bool Outx_DsrFlow() const { return outxDsrFlow_; }
    void SetOutx_DsrFlow(bool value);
    TDtrControl DtrControl() const { return dtrControl_; }
    void SetDtrControl(TDtrControl value);
    bool DsrSensitivity() const { return dsrSensitivity_; }
    void SetDsrSensitivity(bool value);
    bool TxContinueOnXoff() const { return txContinueOnXoff_; }
    void SetTxContinueOnXoff(bool value);
    bool Outx_XonXoffFlow() const { return outxXonXoffFlow_; }
    void SetOutx_XonXoffFlow(bool value);
    bool Inx_XonXoffFlow() const { return inxXonXoffFlow_; }
    void SetInx_XonXoffFlow(bool value);
    bool ReplaceWhenParityError() const { return replaceWhenParityError_; }
    void SetReplaceWhenParityError(bool value);
    bool IgnoreNullChar() const { return ignoreNullChar_; }
    void SetIgnoreNullChar(bool value);
    TRtsControl RtsControl() const { return rtsControl_; }
    void SetRtsControl(TRtsControl value);
    std::uint16_t XonLimit() const { return xonLimit_; }
    void SetXonLimit(std::uint16_t value);
    std::uint16_t XoffLimit() const { return xoffLimit_; }
    void SetXoffLimit(std::uint16_t value);
    TByteSize ByteSize() const { return byteSize_; }
    void SetByteSize(TByteSize value);
    TParity Parity() const { return parity_; }
    void SetParity(TParity value);
    TStopBits StopBits() const { return stopBits_; }
    void SetStopBits(TStopBits value);
    char XonChar() const { return xonChar_; }
    void SetXonChar(char value);
    char XoffChar() const { return xoffChar_; }
    void SetXoffChar(char value);
    char ReplacedChar() const { return replacedChar_; }
    void SetReplacedChar(char value);
    std::uint32_t ReadIntervalTimeout() const { return readIntervalTimeout_; }
    void SetReadIntervalTimeout(std::uint32_t value);
    std::uint32_t ReadTotalTimeoutMultiplier() const { return readTotalTimeoutMultiplier_; }
    void SetReadTotalTimeoutMultiplier(std::uint32_t value);
    std::uint32_t ReadTotalTimeoutConstant() const { return readTotalTimeoutConstant_; }
    void SetReadTotalTimeoutConstant(std::uint32_t value);
    std::uint32_t WriteTotalTimeoutMultiplier() const { return writeTotalTimeoutMultiplier_; }
    void SetWriteTotalTimeoutMultiplier(std::uint32_t value);
    std::uint32_t WriteTotalTimeoutConstant() const { return writeTotalTimeoutConstant_; }
    void SetWriteTotalTimeoutConstant(std::uint32_t value);

    // Events, assigned by the owner; an unassigned event is skipped.
    TReceiveDataEvent OnReceiveData;
    TReceiveErrorEvent OnReceiveError;
    TModemStateChangeEvent OnModemStateChange;
    TNotifyEvent OnRequestHangup;
    TSendDataEmptyEvent OnSendDataEmpty;

private:
    void ApplyLineSettings();
    void ApplyTimeouts();

    std::string commName_ = "COM2";
    std::uint32_t baudRate_ = 9600;
    bool parityCheck_ = false;
    bool outxCtsFlow_ = false;
    bool outxDsrFlow_ = false;
    TDtrControl dtrControl_ = TDtrControl::DtrEnable;
    bool dsrSensitivity_ = false;
    bool txContinueOnXoff_ = true;
    bool outxXonXoffFlow_ = true;
    bool inxXonXoffFlow_ = true;
    bool replaceWhenParityError_ = false;
    bool ignoreNullChar_ = false;
    TRtsControl rtsControl_ = TRtsControl::RtsEnable;
    std::uint16_t xonLimit_ = 500;
    std::uint16_t xoffLimit_ = 500;
    TByteSize byteSize_ = TByteSize::_8;
    TParity parity_ = TParity::None;
    TStopBits stopBits_ = TStopBits::_1;
    char xonChar_ = 17;
    char xoffChar_ = 19;
    char replacedChar_ = 0;
    std::uint32_t readIntervalTimeout_ = 100;
    std::uint32_t readTotalTimeoutMultiplier_ = 0;
    std::uint32_t readTotalTimeoutConstant_ = 0;
    std::uint32_t writeTotalTimeoutMultiplier_ = 0;
    std::uint32_t writeTotalTimeoutConstant_ = 0;

    // Port handle, stop signal, worker threads and the notification
    // endpoint live behind this pointer so the header stays free of
    // platform details.
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace seriallink
