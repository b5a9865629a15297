#include "runtime/headless.hpp"

#include <stdexcept>

#include "runtime/record_file.hpp"
#include "runtime/screen.hpp"

namespace rt {

std::vector<ScriptKey> parse_key_script(const std::string& script) {
    std::vector<ScriptKey> keys;
    for (std::size_t i = 0; i < script.size();) {
        if (script[i] == '{') {
            std::size_t end = script.find('}', i);
            if (end == std::string::npos) throw std::invalid_argument("unclosed { in key script");
            std::string name = script.substr(i + 1, end - i - 1);
            i = end + 1;
            if (name == "Close") keys.push_back({Key{.name = name}, true});
            else if (name.starts_with("Composing:")) keys.push_back({.composing = name.substr(10)});
            else if (name == "LBrace") keys.push_back({typed_key(U'{')});
            else if (Key k = key_named(name); k.fn || !k.text.empty()) keys.push_back({std::move(k)});
            else throw std::invalid_argument("unknown key {" + name + "} in key script");
            continue;
        }
        keys.push_back({typed_key(sjis::next_utf8(script, i))});
    }
    return keys;
}

namespace {

class HeadlessBackend final : public Backend {
public:
    explicit HeadlessBackend(HeadlessOptions options)
        : Backend(options.scale), options_(std::move(options)), record_(options_.record, "varnel-play") {
        if (!options_.record.empty()) record_.ready();
    }

    void pump(std::deque<Key>& keys) override {
        for (const ScriptKey& k : options_.typed_ahead) keys.push_back(k.key);
        options_.typed_ahead.clear();
    }

    // A scripted key reaches only the poll after one that found the keyboard empty.
    void wait(std::deque<Key>& keys) override {
        if (next_ < options_.keys.size()) {
            take(options_.keys[next_++], keys);
            return;
        }
        if (options_.key_source) {
            for (ScriptKey& k : options_.key_source()) take(k, keys);
            return;
        }
        if (++idle_ >= options_.idle_polls_to_end) throw ProgramEnd{};
    }

    std::string clock() override { return options_.time.empty() ? Backend::clock() : options_.time; }
    std::string date_time() override {
        return options_.time.empty() ? Backend::date_time() : Backend::date_time().substr(0, 11) + options_.time;
    }
    void keep_row(const RecordRow& row) override {
        if (!options_.record.empty()) record_.append(row);
    }
    void keep_pending(const RecordRow& row) override {
        if (!options_.record.empty()) record_.under_way(row);
    }
    int next_practice(int run) override {
        const int n = options_.record.empty() ? 0 : record_.next_practice();
        return n > 0 ? n : run;
    }
    void announce(const std::string& spoken, bool new_page) override {
        if (!options_.speech) return;
        if (new_page) options_.speech->emplace_back();
        options_.speech->push_back(spoken);
    }

private:
    void take(const ScriptKey& k, std::deque<Key>& keys) {
        if (k.close) throw ProgramEnd{};
        if (k.composing) {
            if (text_on_) composing_ = *k.composing;
            return;
        }
        if (k.key.typed) composing_.clear();
        keys.push_back(k.key);
    }

    HeadlessOptions options_;
    RecordFile record_;
    std::size_t next_ = 0;
    int idle_ = 0;
};

}  // namespace

std::unique_ptr<Backend> make_headless(HeadlessOptions options) {
    return std::make_unique<HeadlessBackend>(std::move(options));
}

}  // namespace rt
