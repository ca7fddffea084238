// A failed open, with what is wrong on this machine and what to do about
// it. The message stays the serial component's own; the explanation is
// shown below it in the same error box.
#pragma once

#include <QString>
#include <exception>
#include <stdexcept>
#include <string>

#include "ports/port_places.h"
#include "seriallink/tcomm.h"

namespace console {

class ExplainedError : public std::runtime_error {
public:
    ExplainedError(const char* message, std::string explanation)
        : std::runtime_error(message), explanation_(std::move(explanation)) {}
    const std::string& explanation() const { return explanation_; }

private:
    std::string explanation_;
};

// Throws `error` again, as an ExplainedError when it says that the device
// `commName` could not be opened as a serial port.
[[noreturn]] void ThrowExplained(const seriallink::ECommsError& error, const std::string& commName,
                                 const ports::PortPlaces& places);

// The explanation an error carries, empty for any other error.
QString ExplanationOf(const std::exception& error);

}  // namespace console
