#include "settings/document_json.h"

#include <set>

#include "settings/quoted_value.h"
#include "settings/settings_file.h"

namespace settings {
namespace {

// Follows the parser through the document, so that a refusal can name the
// key path where it stopped. The parser keeps the last of two equal keys
// without a word; this sees each key as it comes.
class Watch {
public:
    explicit Watch(const std::string& name) : name_(name) {}

    bool operator()(int, Json::parse_event_t event, const Json& parsed) {
        switch (event) {
            case Json::parse_event_t::object_start:
            case Json::parse_event_t::array_start:
                Enter(event == Json::parse_event_t::array_start);
                break;
            case Json::parse_event_t::key:
                Key(parsed.get_ref<const std::string&>());
                break;
            case Json::parse_event_t::value:
                if (!open_.empty()) StepOfNext();
                break;
            case Json::parse_event_t::object_end:
            case Json::parse_event_t::array_end:
                open_.pop_back();
                break;
        }
        return true;
    }

private:
    struct Open {
        std::vector<PathStep> path;
        bool array = false;
        std::size_t entries = 0;
        std::set<std::string, std::less<>> keys{};
        std::string key{};  // the one whose value comes next
    };

    // Where the next value of the innermost list or object goes.
    PathStep StepOfNext() {
        Open& inner = open_.back();
        if (inner.array) return inner.entries++;
        return inner.key;
    }

    void Enter(bool array) {
        std::vector<PathStep> path;
        if (!open_.empty()) {
            path = open_.back().path;
            path.push_back(StepOfNext());
        }
        if (open_.size() == kMostNesting)
            Refuse(name_, path,
                   "expected at most " + std::to_string(kMostNesting) +
                       " lists and objects inside each other");
        open_.push_back({std::move(path), array});
    }

    void Key(const std::string& key) {
        Open& inner = open_.back();
        if (!inner.keys.insert(key).second) {
            std::vector<PathStep> path = inner.path;
            path.push_back(key);
            Refuse(name_, path, "key given twice; expected each key once");
        }
        inner.key = key;
    }

    const std::string& name_;
    std::vector<Open> open_;
};

}  // namespace

[[noreturn]] void Refuse(const std::string& name, const std::vector<PathStep>& where,
                         const std::string& expected) {
    // A key the file made up is named as far as a message quotes a value.
    std::vector<PathStep> shown = where;
    for (PathStep& step : shown) {
        if (auto* key = std::get_if<std::string>(&step)) *key = Shortened(*key, kQuotedBytes);
    }
    const std::string path = shown.empty() ? "the document" : JoinPath(shown);
    throw BadSettingsFile(name + ": " + path + ": " + expected);
}

Json ParseDocument(const std::string& text, const std::string& name) {
    try {
        return Json::parse(text, Watch(name));
    } catch (const Json::exception& error) {
        // "[json.exception.parse_error.101] parse error at line 2, column 5: ...",
        // or a number beyond a double: "[json.exception.out_of_range.406] ...".
        // The text the parser last read is quoted, which may be a whole value.
        std::string detail = error.what();
        if (auto end = detail.find("] "); end != std::string::npos) detail.erase(0, end + 2);
        Refuse(name, {}, "expected JSON; " + Shortened(detail, 160));
    }
}

}  // namespace settings
