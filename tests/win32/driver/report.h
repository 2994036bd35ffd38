// The driver's findings as one JSON object (UTF-8), rewritten after every
// entry so that a run that gets stuck still leaves what it saw.
#pragma once

#include <string>
#include <vector>

class Report {
public:
    explicit Report(std::wstring path) : path_(std::move(path)) {}
    void text(const std::string& key, const std::wstring& value);
    void number(const std::string& key, long long value);
    void flag(const std::string& key, bool value);
    void list(const std::string& key, const std::vector<std::wstring>& values);

private:
    void add(const std::string& key, const std::string& json);
    std::wstring path_;
    std::vector<std::pair<std::string, std::string>> entries_;
};
