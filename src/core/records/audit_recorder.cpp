#include "records/audit_recorder.h"

#include "files/file_identity.h"

#include <algorithm>
#include <exception>

namespace valdex {

AuditRecorder::AuditRecorder()
    : AuditRecorder(AuditTrail::DefaultDatabasePath(), AuditTrail::DefaultHeadPath()) {}

AuditRecorder::AuditRecorder(std::string databasePath, std::string headPath)
    : databasePath_(std::move(databasePath)), headPath_(std::move(headPath)) {}

AuditTrail* AuditRecorder::Trail() {
    if (!trail_) {
        try {
            trail_ = std::make_unique<AuditTrail>(databasePath_, headPath_);
        } catch (const std::exception& error) {
            problem_ = error.what();
        }
    }
    return trail_.get();
}

bool AuditRecorder::Record(const std::string& event, const nlohmann::json& details) {
    return Record(event, details, {});
}

bool AuditRecorder::Record(const std::string& event, const nlohmann::json& details,
                           const std::vector<std::pair<std::string, std::string>>& writtenMembers) {
    AuditTrail* trail = Trail();
    if (!trail) return false;
    try {
        // Invalid UTF-8 in a path or a message is kept as replacement marks.
        std::string text = AuditJsonText(details);
        for (const auto& [key, value] : writtenMembers) {
            text.pop_back(); // the closing brace
            text += (text.size() > 1 ? "," : "") + AuditJsonString(key) + ":" + value + "}";
        }
        trail->Append(event, text);
        return true;
    } catch (const std::exception& error) {
        problem_ = error.what();
        return false;
    }
}

std::string AuditJsonText(const nlohmann::json& value) {
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string AuditJsonString(const std::string& text) {
    // Most are plain printable ASCII, written as they are.
    const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
        return c >= 0x20 && c < 0x7F && c != '"' && c != '\\';
    });
    if (plain) return "\"" + text + "\"";
    return AuditJsonText(text);
}

nlohmann::json FileDetails(const std::string& path) {
    try {
        const FileIdentity identity = IdentifyFile(path);
        return {
            {"ruta", identity.fullPath}, {"tamano", identity.size}, {"sha256", identity.sha256}};
    } catch (const std::exception& error) {
        return {{"ruta", path}, {"error", error.what()}};
    }
}

} // namespace valdex
