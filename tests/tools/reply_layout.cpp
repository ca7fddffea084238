#include "reply_layout.h"

namespace vk630sim::testing {
namespace {

struct Field {
    const char* name;
    std::size_t offset;
    std::size_t length;
};

constexpr Field kPollingFields[] = {{"command", 7, 1},      {"start", 9, 3},
                                    {"length", 13, 1},      {"format", 15, 2},
                                    {"coefficient", 18, 6}, {"migration", 25, 5}};
constexpr Field kOutputFields[] = {{"4mA", 6, 5}, {"20mA", 12, 5}};

void Read(std::map<std::string, std::string>& into, std::string_view reply, std::string key,
          const Field& f) {
    if (auto v = FieldAt(reply, key + ":", f.offset, f.length)) into[key + "." + f.name] = *v;
}

}  // namespace

std::optional<std::string> FieldAt(std::string_view reply, std::string_view key, std::size_t offset,
                                   std::size_t length) {
    auto at = reply.find(key);
    if (at == std::string_view::npos || at + offset + length > reply.size()) return std::nullopt;
    return std::string(reply.substr(at + offset, length));
}

std::map<std::string, std::string> ParameterFields(std::string_view reply) {
    std::map<std::string, std::string> fields;
    Read(fields, reply, "BOAT", {"baud", 5, 1});
    Read(fields, reply, "BOAT", {"parity", 7, 1});
    Read(fields, reply, "ADR", {"address", 4, 3});
    Read(fields, reply, "JTM", {"interval", 4, 3});
    for (const char* key : {"ZDAD01", "ZDAD02", "ZDAD03"}) {
        for (const Field& f : kPollingFields) Read(fields, reply, key, f);
    }
    for (const char* key : {"DOAT1", "DOAT2", "DOAT3"}) {
        for (const Field& f : kOutputFields) Read(fields, reply, key, f);
    }
    return fields;
}

std::map<std::string, std::string> DefaultParameterFields() {
    std::map<std::string, std::string> fields = {
        {"BOAT.baud", "3"}, {"BOAT.parity", "0"}, {"ADR.address", "001"}, {"JTM.interval", "010"}};
    for (std::string key : {"ZDAD01", "ZDAD02", "ZDAD03"}) {
        fields[key + ".command"] = "0";
        fields[key + ".start"] = "001";
        fields[key + ".length"] = "0";
        fields[key + ".format"] = "00";
        fields[key + ".coefficient"] = "000001";
        fields[key + ".migration"] = "00000";
    }
    for (std::string key : {"DOAT1", "DOAT2", "DOAT3"}) {
        fields[key + ".4mA"] = "0.000";
        fields[key + ".20mA"] = "100.0";
    }
    return fields;
}

}  // namespace vk630sim::testing
