#include "report.h"

#include <windows.h>

#include <cstdio>

namespace {

std::string utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string converted(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), converted.data(), size,
                        nullptr, nullptr);
    return converted;
}

std::string quoted(const std::wstring& value) {
    std::string out = "\"";
    for (unsigned char c : utf8(value)) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof(escape), "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

}  // namespace

void Report::text(const std::string& key, const std::wstring& value) {
    add(key, quoted(value));
}

void Report::number(const std::string& key, long long value) {
    add(key, std::to_string(value));
}

void Report::flag(const std::string& key, bool value) {
    add(key, value ? "true" : "false");
}

void Report::list(const std::string& key, const std::vector<std::wstring>& values) {
    std::string json = "[";
    for (std::size_t i = 0; i < values.size(); ++i) json += (i ? ", " : "") + quoted(values[i]);
    add(key, json + "]");
}

void Report::add(const std::string& key, const std::string& json) {
    entries_.emplace_back(key, json);
    std::string all = "{\n";
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        all += "  \"" + entries_[i].first + "\": " + entries_[i].second +
               (i + 1 < entries_.size() ? ",\n" : "\n");
    }
    all += "}\n";
    FILE* file = _wfopen(path_.c_str(), L"wb");
    if (file == nullptr) return;
    std::fwrite(all.data(), 1, all.size(), file);
    std::fclose(file);
}
