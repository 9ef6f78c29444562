#include "records/audit_recorder.h"

#include "files/file_identity.h"

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
    AuditTrail* trail = Trail();
    if (!trail) return false;
    try {
        // Invalid UTF-8 in a path or a message is kept as replacement marks.
        trail->Append(event,
                      details.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
        return true;
    } catch (const std::exception& error) {
        problem_ = error.what();
        return false;
    }
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
