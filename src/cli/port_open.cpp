#include "cli/port_open.h"

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

}  // namespace

void OpenLikeTheWindow(TComm& comm, const LineChoice& line) {
    Configure(comm, line);
    try {
        comm.OpenPort();
    } catch (const ECommsError& error) {
        std::string message = ports::AsTheErrorBoxShowsIt(error.what());
        const auto explanation = ports::ExplainOpenFailure(error, comm.CommName());
        if (explanation && !explanation->empty()) message += "\n" + *explanation;
        throw Failure(kPortWontOpen, line.port + ": " + message);
    }
}

}  // namespace cli
