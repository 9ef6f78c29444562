#pragma once
// A small JSON object writer for the diagnostics subcommands: keys in the
// order written, numbers as the shortest decimals that read back to the same
// double, a missing value simply left out.

#include <optional>
#include <string>
#include <vector>

namespace valdex::cli {

class JsonObject {
public:
    JsonObject& Text(const std::string& key, const std::string& value);
    JsonObject& Number(const std::string& key, double value);
    // Written only when present.
    JsonObject& Number(const std::string& key, const std::optional<double>& value);
    // Written only when not empty.
    JsonObject& Reason(const std::string& key, const std::string& value);
    JsonObject& Object(const std::string& key, const JsonObject& value);
    JsonObject& Array(const std::string& key, const std::vector<JsonObject>& values);
    JsonObject& Bool(const std::string& key, bool value);
    // An array of strings.
    JsonObject& Texts(const std::string& key, const std::vector<std::string>& values);

    std::string str() const { return "{" + body_ + "}"; }

private:
    void Key(const std::string& key);
    std::string body_;
};

// The text as a JSON string, quotes included.
std::string JsonString(const std::string& text);

} // namespace valdex::cli
