// The property setters: each stores a changed value and, while the port is
// open, writes the line settings or the timeouts to it at once. CommName
// and Parity are only stored and take effect at the next open.
#include "seriallink/tcomm.h"

namespace seriallink {
namespace {

template <typename T>
bool Changed(T& field, const T& value) {
    if (field == value) return false;
    field = value;
    return true;
}

}  // namespace

void TComm::SetCommName(const std::string& value) {
    commName_ = value;
}
void TComm::SetParity(TParity value) {
    parity_ = value;
}

#define VK_LINE_SETTER(Name, field, Type)               \
    void TComm::Set##Name(Type value) {                 \
        if (Changed(field, value)) ApplyLineSettings(); \
    }
#define VK_TIMEOUT_SETTER(Name, field)              \
    void TComm::Set##Name(std::uint32_t value) {    \
        if (Changed(field, value)) ApplyTimeouts(); \
    }

VK_LINE_SETTER(BaudRate, baudRate_, std::uint32_t)
VK_LINE_SETTER(ParityCheck, parityCheck_, bool)
VK_LINE_SETTER(Outx_CtsFlow, outxCtsFlow_, bool)
VK_LINE_SETTER(Outx_DsrFlow, outxDsrFlow_, bool)
VK_LINE_SETTER(DtrControl, dtrControl_, TDtrControl)
VK_LINE_SETTER(DsrSensitivity, dsrSensitivity_, bool)
VK_LINE_SETTER(TxContinueOnXoff, txContinueOnXoff_, bool)
VK_LINE_SETTER(Outx_XonXoffFlow, outxXonXoffFlow_, bool)
VK_LINE_SETTER(Inx_XonXoffFlow, inxXonXoffFlow_, bool)
VK_LINE_SETTER(ReplaceWhenParityError, replaceWhenParityError_, bool)
VK_LINE_SETTER(IgnoreNullChar, ignoreNullChar_, bool)
VK_LINE_SETTER(RtsControl, rtsControl_, TRtsControl)
VK_LINE_SETTER(XonLimit, xonLimit_, std::uint16_t)
VK_LINE_SETTER(XoffLimit, xoffLimit_, std::uint16_t)
VK_LINE_SETTER(ByteSize, byteSize_, TByteSize)
VK_LINE_SETTER(StopBits, stopBits_, TStopBits)
VK_LINE_SETTER(XonChar, xonChar_, char)
VK_LINE_SETTER(XoffChar, xoffChar_, char)
VK_LINE_SETTER(ReplacedChar, replacedChar_, char)
VK_TIMEOUT_SETTER(ReadIntervalTimeout, readIntervalTimeout_)
VK_TIMEOUT_SETTER(ReadTotalTimeoutMultiplier, readTotalTimeoutMultiplier_)
VK_TIMEOUT_SETTER(ReadTotalTimeoutConstant, readTotalTimeoutConstant_)
VK_TIMEOUT_SETTER(WriteTotalTimeoutMultiplier, writeTotalTimeoutMultiplier_)
VK_TIMEOUT_SETTER(WriteTotalTimeoutConstant, writeTotalTimeoutConstant_)

#undef VK_LINE_SETTER
#undef VK_TIMEOUT_SETTER

}  // namespace seriallink
