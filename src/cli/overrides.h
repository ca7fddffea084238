// `--set KEY=VALUE`: one setting of the file changed for this unit, so a
// batch with rising addresses is a shell loop over one file.
#pragma once

#include <string>

#include "settings/device_settings.h"

namespace cli {

// KEY is a key path of the file ("polling[1].format") or a key that names
// one setting alone ("address"); VALUE is the text as the file would hold
// it (held to the file's rule), a choice's item text, or "null" for a choice
// with no item chosen. Throws Failure (kUsage) naming what was expected.
void ApplyOverride(settings::Fields& fields, const std::string& assignment);

}  // namespace cli
