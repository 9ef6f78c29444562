#pragma once
// The study commands' entries in the audit trail: created, opened (path,
// size, SHA-256), saved and saved as (SHA-256 before and after, and the
// reason when a signed report refers to the study replaced), closed with
// its changes discarded. Without a recorder it records nothing.

#include "app/main_window_view.h"

#include <optional>
#include <string>

namespace valdex {

class AuditRecorder;

class StudyAudit {
public:
    void SetRecorder(AuditRecorder* recorder) { recorder_ = recorder; }
    AuditRecorder* Recorder() const { return recorder_; }

    void Created();
    void Opened(const std::string& path);
    // Before a study is written over `path`: its SHA-256, and the reason asked
    // of the user when a signed report refers to it. Throws StudyError when
    // the user gives none (nothing is written then).
    struct Before {
        std::string sha256;
        std::string reason;
    };
    Before BeforeSave(const std::string& path, MainWindowView& view);
    void Saved(const std::string& path, const Before& before, bool saveAs);
    void Discarded(const std::string& caption);

private:
    AuditRecorder* recorder_ = nullptr;
};

// The question of the reason dialog.
inline constexpr const char* kReasonQuestion =
    "Un informe firmado se refiere a este estudio. Indique el motivo del cambio:";

} // namespace valdex
