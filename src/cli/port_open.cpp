#include "cli/port_open.h"

#include <cstring>

#include "cli/exit_status.h"
#include "ports/open_diagnosis.h"
#include "seriallink/console_defaults.h"

namespace cli {
namespace {

using namespace seriallink;

// The window's component settings with what its "Open" changes just before
// opening: a unit commissioned from here is spoken to exactly as from the
// window.
void Configure(TComm& comm, const LineChoice& line) {
    ApplyConsoleDefaults(comm);
    comm.SetCommName(line.port);
    comm.SetBaudRate(line.baud);
    comm.SetParity(line.parity);
    comm.SetOutx_XonXoffFlow(false);
    comm.SetInx_XonXoffFlow(false);
}

// The error box's rule: a full stop after a message whose last character
// comes after "." in the character table.
std::string AsTheErrorBoxShowsIt(std::string message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
    return message;
}

// Only the failures that mean "this device could not be opened as a serial
// port" get an explanation, as in the window.
std::string ExplanationOf(const ECommsError& error, const std::string& commName) {
    for (const char* message : {kMsgOpenFailed, kMsgNotCommHandle}) {
        if (std::strcmp(error.what(), message) == 0)
            return ports::ExplainOpenFailure(commName, error.ErrorNumber());
    }
    return {};
}

}  // namespace

void OpenLikeTheWindow(TComm& comm, const LineChoice& line) {
    Configure(comm, line);
    try {
        comm.OpenPort();
    } catch (const ECommsError& error) {
        std::string message = AsTheErrorBoxShowsIt(error.what());
        const std::string explanation = ExplanationOf(error, comm.CommName());
        if (!explanation.empty()) message += "\n" + explanation;
        throw Failure(kPortWontOpen, line.port + ": " + message);
    }
}

}  // namespace cli
