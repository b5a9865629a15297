#include "runtime/headless.hpp"

#include <stdexcept>

#include "runtime/screen.hpp"

namespace rt {

std::vector<ScriptKey> parse_key_script(const std::string& script) {
    std::vector<ScriptKey> keys;
    auto named = [&](const std::string& name, Text text, int fn = 0, bool close = false) {
        keys.push_back({Key{fn, std::move(text), name}, close});
    };
    for (std::size_t i = 0; i < script.size();) {
        if (script[i] == '{') {
            std::size_t end = script.find('}', i);
            if (end == std::string::npos) throw std::invalid_argument("unclosed { in key script");
            std::string name = script.substr(i + 1, end - i - 1);
            i = end + 1;
            if (name == "Enter") named(name, "\r");
            else if (name == "BS") named(name, "\b");
            else if (name == "Del") named(name, "\x7f");
            else if (name == "Space") named(name, " ");
            else if (name == "Ctrl+L") named(name, "\x0c");
            else if (name == "LBrace") named("{", "{");
            else if (name == "Close") named(name, {}, 0, true);
            else if (name.size() >= 2 && name[0] == 'F' && std::isdigit(static_cast<unsigned char>(name[1]))) {
                int n = std::stoi(name.substr(1));
                if (n < 1 || n > 12) throw std::invalid_argument("no such function key: " + name);
                named(name, {}, n);
            } else {
                throw std::invalid_argument("unknown key {" + name + "} in key script");
            }
            continue;
        }
        std::size_t start = i;
        sjis::next_utf8(script, i);
        std::string ch = script.substr(start, i - start);
        named(ch, sjis::from_utf8(ch));
    }
    return keys;
}

namespace {

class HeadlessBackend final : public Backend {
public:
    explicit HeadlessBackend(HeadlessOptions options)
        : Backend(options.scale), options_(std::move(options)) {}

    void pump(std::deque<Key>& keys) override {
        for (const ScriptKey& k : options_.typed_ahead) keys.push_back(k.key);
        options_.typed_ahead.clear();
    }

    // A scripted key reaches only the poll after one that found the keyboard empty.
    void wait(std::deque<Key>& keys) override {
        if (next_ < options_.keys.size()) {
            const ScriptKey& k = options_.keys[next_++];
            if (k.close) throw ProgramEnd{};
            keys.push_back(k.key);
            return;
        }
        if (options_.key_source) {
            for (ScriptKey& k : options_.key_source()) {
                if (k.close) throw ProgramEnd{};
                keys.push_back(std::move(k.key));
            }
            return;
        }
        if (++idle_ >= options_.idle_polls_to_end) throw ProgramEnd{};
    }

    std::string clock() override { return options_.time.empty() ? Backend::clock() : options_.time; }

private:
    HeadlessOptions options_;
    std::size_t next_ = 0;
    int idle_ = 0;
};

}  // namespace

std::unique_ptr<Backend> make_headless(HeadlessOptions options) {
    return std::make_unique<HeadlessBackend>(std::move(options));
}

}  // namespace rt
