#include "console/open_failure.h"

#include <utility>

#include "ports/open_diagnosis.h"

namespace console {

void ThrowExplained(const seriallink::ECommsError& error, const std::string& commName,
                    const ports::PortPlaces& places) {
    if (auto explanation = ports::ExplainOpenFailure(error, commName, places))
        throw ExplainedError(error.what(), std::move(*explanation));
    throw error;
}

QString ExplanationOf(const std::exception& error) {
    const auto* explained = dynamic_cast<const ExplainedError*>(&error);
    return explained ? QString::fromStdString(explained->explanation()) : QString();
}

}  // namespace console
