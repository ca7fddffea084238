#include "calibration/record.h"

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <system_error>

namespace calibration {
namespace {

// ordered_json keeps the keys in the order they are written, so every
// record lists them in the one order a reader expects.
using Json = nlohmann::ordered_json;

constexpr const char* kFormat = "vk630e-record";
constexpr int kVersion = 1;

// The device's bytes as the characters of the same code, and back.
std::string Utf8FromBytes(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()))
        .toUtf8()
        .toStdString();
}

std::optional<std::string> BytesFromUtf8(const std::string& text) {
    const QString characters = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (std::any_of(characters.begin(), characters.end(),
                    [](QChar c) { return c.unicode() > 0xFF; }))
        return std::nullopt;
    return characters.toLatin1().toStdString();
}

Json PointsJson(const std::vector<PointResult>& points) {
    Json list = Json::array();
    for (const PointResult& point : points) {
        list.push_back({{"mA", point.mA},
                        {"measured", point.measured},
                        {"errorPercentOfSpan", point.errorPercentOfSpan},
                        {"pass", point.pass}});
    }
    return list;
}

Json SettingsJson(const SettingsSection& settings) {
    Json differences = Json::array();
    for (const SettingDifference& difference : settings.differences) {
        differences.push_back({{"setting", difference.setting},
                               {"written", Utf8FromBytes(difference.written)},
                               {"readBack", Utf8FromBytes(difference.readBack)}});
    }
    return {{"file", settings.file},
            {"sha256", settings.sha256},
            {"written", settings.written},
            {"verified", settings.verified},
            {"differences", differences}};
}

Json OutputsJson(const OutputsSection& outputs) {
    Json adjustment = nullptr;
    if (outputs.adjustment) {
        Json before = Json::array();
        for (const std::string& text : outputs.adjustment->before)
            before.push_back(Utf8FromBytes(text));
        adjustment = {{"before", before},
                      {"after", outputs.adjustment->after},
                      {"verified", outputs.adjustment->verified}};
    }
    return {{"tolerancePercentOfSpan", outputs.tolerancePercentOfSpan},
            {"adjustAt", outputs.adjustAt},
            {"asFound", PointsJson(outputs.asFound)},
            {"adjustment", adjustment},
            {"asLeft", outputs.asLeft ? PointsJson(*outputs.asLeft) : Json(nullptr)},
            {"complete", outputs.complete}};
}

// Reads one document, naming the file and the key of the first thing wrong.
class Reader {
public:
    explicit Reader(std::string name) : name_(std::move(name)) {}

    [[noreturn]] void Refuse(const std::string& path, const std::string& expected) const {
        throw BadRecordFile(name_ + ": " + path + ": " + expected);
    }
    const Json& Member(const Json& object, const std::string& path, const char* key) const {
        if (!object.is_object()) Refuse(path, "expected an object");
        const auto found = object.find(key);
        if (found == object.end()) Refuse(Join(path, key), "missing");
        return *found;
    }
    std::string Text(const Json& object, const std::string& path, const char* key) const {
        const Json& value = Member(object, path, key);
        if (!value.is_string()) Refuse(Join(path, key), "expected a text");
        return value.get<std::string>();
    }
    std::string DeviceText(const Json& value, const std::string& path) const {
        if (!value.is_string()) Refuse(path, "expected a text");
        auto bytes = BytesFromUtf8(value.get<std::string>());
        if (!bytes) Refuse(path, "expected characters of codes 0 to 255");
        return *bytes;
    }
    double Number(const Json& value, const std::string& path) const {
        if (!value.is_number()) Refuse(path, "expected a number");
        return value.get<double>();
    }
    int Whole(const Json& object, const std::string& path, const char* key) const {
        const Json& value = Member(object, path, key);
        if (!value.is_number_integer() || value.get<std::int64_t>() < 0 ||
            value.get<std::int64_t>() > 1'000'000)
            Refuse(Join(path, key), "expected a whole number");
        return value.get<int>();
    }
    bool Flag(const Json& value, const std::string& path) const {
        if (!value.is_boolean()) Refuse(path, "expected true or false");
        return value.get<bool>();
    }
    const Json& List(const Json& object, const std::string& path, const char* key,
                     std::size_t size = 0) const {
        const Json& value = Member(object, path, key);
        if (!value.is_array() || (size && value.size() != size))
            Refuse(Join(path, key), size ? "expected a list of " + std::to_string(size)
                                         : std::string("expected a list"));
        return value;
    }
    static std::string Join(const std::string& path, const char* key) {
        return path.empty() ? key : path + "." + key;
    }
    static std::string At(const std::string& path, std::size_t i) {
        return path + "[" + std::to_string(i) + "]";
    }

private:
    std::string name_;
};

std::vector<PointResult> ReadPoints(const Reader& in, const Json& list, const std::string& path) {
    if (!list.is_array()) in.Refuse(path, "expected a list");
    std::vector<PointResult> points;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string at = Reader::At(path, i);
        PointResult point;
        point.mA = in.Whole(list[i], at, "mA");
        const Json& measured = in.List(list[i], at, "measured", 3);
        const Json& errors = in.List(list[i], at, "errorPercentOfSpan", 3);
        const Json& pass = in.List(list[i], at, "pass", 3);
        for (std::size_t k = 0; k < 3; ++k) {
            point.measured[k] = in.Number(measured[k], Reader::At(at + ".measured", k));
            point.errorPercentOfSpan[k] =
                in.Number(errors[k], Reader::At(at + ".errorPercentOfSpan", k));
            point.pass[k] = in.Flag(pass[k], Reader::At(at + ".pass", k));
        }
        points.push_back(point);
    }
    return points;
}

SettingsSection ReadSettingsSection(const Reader& in, const Json& json) {
    SettingsSection settings;
    settings.file = in.Text(json, "settings", "file");
    settings.sha256 = in.Text(json, "settings", "sha256");
    settings.written = in.Whole(json, "settings", "written");
    settings.verified = in.Flag(in.Member(json, "settings", "verified"), "settings.verified");
    const Json& differences = in.List(json, "settings", "differences");
    for (std::size_t i = 0; i < differences.size(); ++i) {
        const std::string at = Reader::At("settings.differences", i);
        settings.differences.push_back(
            {in.Text(differences[i], at, "setting"),
             in.DeviceText(in.Member(differences[i], at, "written"), at + ".written"),
             in.DeviceText(in.Member(differences[i], at, "readBack"), at + ".readBack")});
    }
    return settings;
}

OutputsSection ReadOutputsSection(const Reader& in, const Json& json) {
    OutputsSection outputs;
    outputs.tolerancePercentOfSpan = in.Number(in.Member(json, "outputs", "tolerancePercentOfSpan"),
                                               "outputs.tolerancePercentOfSpan");
    outputs.adjustAt = in.Whole(json, "outputs", "adjustAt");
    outputs.asFound = ReadPoints(in, in.Member(json, "outputs", "asFound"), "outputs.asFound");
    if (const Json& adjustment = in.Member(json, "outputs", "adjustment"); !adjustment.is_null()) {
        const std::string path = "outputs.adjustment";
        Adjustment read;
        const Json& before = in.List(adjustment, path, "before", 3);
        const Json& after = in.List(adjustment, path, "after", 3);
        for (std::size_t k = 0; k < 3; ++k) {
            read.before[k] = in.DeviceText(before[k], Reader::At(path + ".before", k));
            read.after[k] = in.DeviceText(after[k], Reader::At(path + ".after", k));
        }
        read.verified = in.Flag(in.Member(adjustment, path, "verified"), path + ".verified");
        outputs.adjustment = read;
    }
    if (const Json& asLeft = in.Member(json, "outputs", "asLeft"); !asLeft.is_null())
        outputs.asLeft = ReadPoints(in, asLeft, "outputs.asLeft");
    outputs.complete = in.Flag(in.Member(json, "outputs", "complete"), "outputs.complete");
    return outputs;
}

bool AllPass(const std::vector<PointResult>& points) {
    return std::all_of(points.begin(), points.end(), [](const PointResult& point) {
        return std::all_of(point.pass.begin(), point.pass.end(), [](bool pass) { return pass; });
    });
}

// The file's bytes, or nothing when there is no file yet.
std::optional<std::string> ExistingFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        if (errno == ENOENT) return std::nullopt;
        throw BadRecordFile(path + ": cannot be read: " + std::strerror(errno));
    }
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteWhole(const std::string& path, const std::string& text) {
    QSaveFile file(QString::fromStdString(path));
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.write(text.data(), static_cast<qint64>(text.size())) ==
                             static_cast<qint64>(text.size()) &&
                         file.commit();
    if (!written) {
        const int code = errno != 0 ? errno : EIO;
        throw std::system_error(code, std::generic_category(),
                                path + ": " + file.errorString().toStdString());
    }
}

std::string Describe(const Unit& unit) {
    return "address " + unit.address + ", identity \"" + unit.identity + "\"";
}

}  // namespace

std::string Verdict(const Record& record) {
    if (!record.settings && !record.outputs) return "incomplete";
    if (record.outputs && !record.outputs->complete) return "incomplete";
    if (record.settings && (!record.settings->verified || !record.settings->differences.empty()))
        return "fail";
    if (record.outputs) {
        const OutputsSection& outputs = *record.outputs;
        if (outputs.adjustment && !outputs.adjustment->verified) return "fail";
        if (!AllPass(outputs.asLeft ? *outputs.asLeft : outputs.asFound)) return "fail";
    }
    return "pass";
}

std::string NowIso8601() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S%z", &local);
    // %z gives "+0100"; ISO 8601 extended form writes "+01:00".
    std::string text(stamp);
    if (text.size() >= 5) text.insert(text.size() - 2, ":");
    return text;
}

std::string WriteRecord(const Record& record) {
    Json doc;
    doc["format"] = kFormat;
    doc["version"] = kVersion;
    doc["made"] = record.made;
    doc["program"] = record.program;
    doc["unit"] = {{"tag", record.unit.tag},
                   {"identity", Utf8FromBytes(record.unit.identity)},
                   {"address", Utf8FromBytes(record.unit.address)},
                   {"port", record.unit.port}};
    doc["technician"] = record.technician;
    doc["meter"] = record.meter;
    doc["settings"] = record.settings ? SettingsJson(*record.settings) : Json(nullptr);
    doc["outputs"] = record.outputs ? OutputsJson(*record.outputs) : Json(nullptr);
    doc["verdict"] = Verdict(record);
    // What the technician typed is UTF-8; a stray byte is not allowed to
    // cost the whole record.
    return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

Record ReadRecord(const std::string& json, const std::string& name) {
    const Json doc = Json::parse(json, nullptr, false);
    if (doc.is_discarded()) throw BadRecordFile(name + ": not a JSON document");
    const Reader in(name);
    if (!doc.is_object()) in.Refuse("the document", "expected an object");
    if (in.Member(doc, "", "format") != kFormat)
        in.Refuse("format", std::string("expected \"") + kFormat + "\"");
    if (in.Member(doc, "", "version") != kVersion)
        in.Refuse("version", "expected " + std::to_string(kVersion));
    Record record;
    record.made = in.Text(doc, "", "made");
    record.program = in.Text(doc, "", "program");
    const Json& unit = in.Member(doc, "", "unit");
    record.unit.tag = in.Text(unit, "unit", "tag");
    record.unit.identity = in.DeviceText(in.Member(unit, "unit", "identity"), "unit.identity");
    record.unit.address = in.DeviceText(in.Member(unit, "unit", "address"), "unit.address");
    record.unit.port = in.Text(unit, "unit", "port");
    record.technician = in.Text(doc, "", "technician");
    record.meter = in.Text(doc, "", "meter");
    if (const Json& settings = in.Member(doc, "", "settings"); !settings.is_null())
        record.settings = ReadSettingsSection(in, settings);
    if (const Json& outputs = in.Member(doc, "", "outputs"); !outputs.is_null())
        record.outputs = ReadOutputsSection(in, outputs);
    return record;
}

Record SaveRecord(const std::string& path, const Record& update) {
    Record merged = update;
    if (const auto existing = ExistingFile(path)) {
        Record held = ReadRecord(*existing, path);
        // A section saved before the unit was asked who it is (a Write All
        // in the window) names no identity: that is no other identity.
        const bool otherIdentity = !held.unit.identity.empty() && !update.unit.identity.empty() &&
                                   held.unit.identity != update.unit.identity;
        if (held.unit.address != update.unit.address || otherIdentity)
            throw BadRecordFile(path + ": holds the record of another unit (" +
                                Describe(held.unit) + "), not of this one (" +
                                Describe(update.unit) + ")");
        const auto keep = [](std::string& mine, const std::string& theirs) {
            if (mine.empty()) mine = theirs;
        };
        keep(merged.unit.identity, held.unit.identity);
        keep(merged.unit.tag, held.unit.tag);
        keep(merged.unit.port, held.unit.port);
        keep(merged.technician, held.technician);
        keep(merged.meter, held.meter);
        if (!merged.settings) merged.settings = held.settings;
        if (!merged.outputs) merged.outputs = held.outputs;
    }
    WriteWhole(path, WriteRecord(merged));
    return merged;
}

}  // namespace calibration
