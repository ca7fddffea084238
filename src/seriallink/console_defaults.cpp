#include "seriallink/console_defaults.h"

namespace seriallink {

// A reply is complete at the first pause of more than 300 ms; writes have no
// timeout.
void ApplyConsoleDefaults(TComm& comm) {
    comm.SetCommName("COM1");
    comm.SetBaudRate(9600);
    comm.SetParityCheck(false);
    comm.SetOutx_CtsFlow(false);
    comm.SetOutx_DsrFlow(false);
    comm.SetDtrControl(TDtrControl::DtrDisable);
    comm.SetDsrSensitivity(false);
    comm.SetTxContinueOnXoff(true);
    comm.SetOutx_XonXoffFlow(true);
    comm.SetInx_XonXoffFlow(true);
    comm.SetReplaceWhenParityError(false);
    comm.SetIgnoreNullChar(false);
    comm.SetRtsControl(TRtsControl::RtsDisable);
    comm.SetXonLimit(500);
    comm.SetXoffLimit(500);
    comm.SetByteSize(TByteSize::_8);
    comm.SetParity(TParity::None);
    comm.SetStopBits(TStopBits::_1);
    comm.SetXonChar(17);
    comm.SetXoffChar(19);
    comm.SetReplacedChar(0);
    comm.SetReadIntervalTimeout(300);
    comm.SetReadTotalTimeoutMultiplier(0);
    comm.SetReadTotalTimeoutConstant(0);
    comm.SetWriteTotalTimeoutMultiplier(0);
    comm.SetWriteTotalTimeoutConstant(0);
}

}  // namespace seriallink
