#include "runtime/record.hpp"

#include <chrono>

#include "runtime/backend.hpp"
#include "runtime/screen.hpp"

namespace rt {

void record_row(const RecordRow& row) { backend().keep_row(row); }
void record_pending(const RecordRow& row) { backend().keep_pending(row); }
std::string record_name() { return backend().pupil_name(); }
std::string date_time_text() { return backend().date_time(); }

double seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string csv_line(const RecordRow& row) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
        std::string field = row[i];
        if (!field.empty() && std::string_view("=+-@\t\r").find(field[0]) != std::string_view::npos)
            field.insert(0, 1, '\'');
        if (field.find_first_of(",\"\r\n") != std::string::npos) {
            std::string quoted = "\"";
            for (char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
            field = quoted + '"';
        }
        line += (i ? "," : "") + field;
    }
    return line + "\r\n";
}

std::optional<std::vector<RecordRow>> parse_csv(std::string_view text) {
    if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
    std::vector<RecordRow> rows;
    RecordRow row;
    std::string field;
    bool quoted = false, in_quotes = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (in_quotes) {
            if (c != '"') field += c;
            else if (i + 1 < text.size() && text[i + 1] == '"') field += text[++i];
            else in_quotes = false;
        } else if (c == '"' && field.empty() && !quoted) {
            quoted = in_quotes = true;
        } else if (c == ',' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            row.push_back(std::move(field));
            field.clear();
            quoted = false;
            if (c == '\r') {
                ++i;
                rows.push_back(std::move(row));
                row.clear();
            }
        } else if (quoted || c == '\r' || c == '\n') {
            return std::nullopt;   // text after a closing quote, or a bare line break
        } else {
            field += c;
        }
    }
    if (in_quotes || !row.empty() || !field.empty() || quoted) return std::nullopt;   // a half line
    return rows;
}

}  // namespace rt
