#include "json_object.h"

#include "json_writer.h"

#include <cstdio>

namespace valdex::cli {

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

void JsonObject::Key(const std::string& key) {
    if (!body_.empty()) body_ += ',';
    body_ += JsonString(key) + ':';
}

JsonObject& JsonObject::Text(const std::string& key, const std::string& value) {
    Key(key);
    body_ += JsonString(value);
    return *this;
}

JsonObject& JsonObject::Number(const std::string& key, double value) {
    Key(key);
    body_ += ShortestDecimal(value);
    return *this;
}

JsonObject& JsonObject::Number(const std::string& key, const std::optional<double>& value) {
    return value ? Number(key, *value) : *this;
}

JsonObject& JsonObject::Reason(const std::string& key, const std::string& value) {
    return value.empty() ? *this : Text(key, value);
}

JsonObject& JsonObject::Object(const std::string& key, const JsonObject& value) {
    Key(key);
    body_ += value.str();
    return *this;
}

JsonObject& JsonObject::Array(const std::string& key, const std::vector<JsonObject>& values) {
    Key(key);
    body_ += '[';
    for (std::size_t i = 0; i < values.size(); ++i)
        body_ += (i ? "," : "") + values[i].str();
    body_ += ']';
    return *this;
}

JsonObject& JsonObject::Bool(const std::string& key, bool value) {
    Key(key);
    body_ += value ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::Texts(const std::string& key, const std::vector<std::string>& values) {
    Key(key);
    body_ += '[';
    for (std::size_t i = 0; i < values.size(); ++i)
        body_ += (i ? "," : "") + JsonString(values[i]);
    body_ += ']';
    return *this;
}

} // namespace valdex::cli
