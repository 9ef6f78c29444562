#include "app/study_audit.h"

#include "base/app_error.h"
#include "files/file_identity.h"
#include "records/audit_recorder.h"

#include <filesystem>

namespace valdex {

namespace {
nlohmann::json Program() {
    return {{"programa", "valdex"}};
}
} // namespace

void StudyAudit::Created() {
    if (recorder_) recorder_->Record(audit_event::kCreated, Program());
}

void StudyAudit::Opened(const std::string& path) {
    if (!recorder_) return;
    nlohmann::json details = Program();
    details["estudio"] = FileDetails(path);
    recorder_->Record(audit_event::kOpened, details);
}

StudyAudit::Before StudyAudit::BeforeSave(const std::string& path, MainWindowView& view) {
    Before before;
    std::error_code ignored;
    if (!recorder_ || !std::filesystem::is_regular_file(path, ignored)) return before;
    try {
        before.sha256 = IdentifyFile(path).sha256;
    } catch (const AppError&) {
        return before;
    }
    AuditTrail* trail = recorder_->Trail();
    if (trail && trail->StudySigned(before.sha256)) {
        const auto reason = view.AskReason(kReasonQuestion);
        if (!reason || reason->find_first_not_of(" \t") == std::string::npos) {
            nlohmann::json details = Program();
            details["comando"] = "guardar";
            details["ruta"] = path;
            details["sha256_antes"] = before.sha256;
            details["resultado"] = "rechazado";
            details["mensajes"] = "sin motivo del cambio";
            recorder_->Record(audit_event::kFailed, details);
            throw StudyError("No se guardó: un informe firmado se refiere a este estudio y no se "
                             "indicó el motivo del cambio.");
        }
        before.reason = *reason;
    }
    return before;
}

void StudyAudit::Saved(const std::string& path, const Before& before, bool saveAs) {
    if (!recorder_) return;
    nlohmann::json details = Program();
    details["estudio"] = FileDetails(path);
    details["sha256_antes"] = before.sha256;
    if (!before.reason.empty()) details["motivo"] = before.reason;
    recorder_->Record(saveAs ? audit_event::kSavedAs : audit_event::kSaved, details);
}

void StudyAudit::Discarded(const std::string& caption) {
    if (!recorder_) return;
    nlohmann::json details = Program();
    details["estudio"] = caption;
    recorder_->Record(audit_event::kClosedDiscarding, details);
}

} // namespace valdex
