// Feeds arbitrary documents to the settings file reader. Besides the
// sanitizers' checks it asserts what must hold for any input: a document is
// loaded whole (writing it again and reading that gives the same settings)
// or refused with a message that names the file; nothing else escapes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/settings_file.h"

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    settings::SettingsFile loaded;
    try {
        loaded = settings::ReadSettings(input, "fuzz.json");
    } catch (const settings::BadSettingsFile& error) {
        if (std::string(error.what()).rfind("fuzz.json: ", 0) != 0) Fail("message names no file");
        return 0;
    }
    if (loaded.fields.texts.size() + loaded.fields.indices.size() != 38) Fail("not loaded whole");
    const settings::SettingsFile again =
        settings::ReadSettings(settings::WriteSettings(loaded), "again.json");
    if (!(again.fields == loaded.fields) || again.saved != loaded.saved ||
        again.program != loaded.program)
        Fail("a loaded file does not survive writing");
    return 0;
}
