#include "console/open_failure.h"

#include <cstring>

#include "ports/open_diagnosis.h"

namespace console {

void ThrowExplained(const seriallink::ECommsError& error, const std::string& commName,
                    const ports::PortPlaces& places) {
    for (const char* message : {seriallink::kMsgOpenFailed, seriallink::kMsgNotCommHandle}) {
        if (std::strcmp(error.what(), message) == 0)
            throw ExplainedError(message,
                                 ports::ExplainOpenFailure(commName, error.ErrorNumber(), places));
    }
    throw error;
}

QString ExplanationOf(const std::exception& error) {
    const auto* explained = dynamic_cast<const ExplainedError*>(&error);
    return explained ? QString::fromStdString(explained->explanation()) : QString();
}

}  // namespace console
