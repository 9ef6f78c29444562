#pragma once
// The one object through which the program's commands add their events to
// the audit trail. It opens the trail on the first event; a trail that
// cannot be opened or written never stops the command: the recorder keeps
// the problem for the caller to tell the user.

#include "records/audit_trail.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace valdex {

// The names of the events the program records.
namespace audit_event {
inline constexpr const char* kCreated = "creado";
inline constexpr const char* kOpened = "abierto";
inline constexpr const char* kSaved = "guardado";
inline constexpr const char* kSavedAs = "guardado como";
inline constexpr const char* kClosedDiscarding = "cerrado sin guardar";
inline constexpr const char* kPrinted = "impreso";
inline constexpr const char* kExported = "exportado";
inline constexpr const char* kSigned = "firmado";
inline constexpr const char* kVerified = "verificado";
inline constexpr const char* kFailed = "fallido";
} // namespace audit_event

class AuditRecorder {
public:
    // The user's own trail.
    AuditRecorder();
    AuditRecorder(std::string databasePath, std::string headPath);

    // Adds the event; false when it could not be recorded (see Problem()).
    bool Record(const std::string& event, const nlohmann::json& details);
    // The same with members already written as JSON text (key, value) after
    // the object's own: a command that read ten thousand studies writes
    // their list as text instead of building ten thousand objects.
    bool Record(const std::string& event, const nlohmann::json& details,
                const std::vector<std::pair<std::string, std::string>>& writtenMembers);
    // The trail, opened on demand; null when it cannot be opened.
    AuditTrail* Trail();
    const std::string& Problem() const { return problem_; }
    const std::string& DatabasePath() const { return databasePath_; }
    const std::string& HeadPath() const { return headPath_; }

private:
    std::string databasePath_;
    std::string headPath_;
    std::unique_ptr<AuditTrail> trail_;
    std::string problem_;
};

// JSON text the way the trail stores it: compact, the bytes of a string that
// are not UTF-8 as U+FFFD.
std::string AuditJsonText(const nlohmann::json& value);
// The same of a string, without building a JSON value for plain ASCII.
std::string AuditJsonString(const std::string& text);

// {"ruta", "tamano", "sha256"} of a file, or {"ruta", "error"} when it cannot
// be read.
nlohmann::json FileDetails(const std::string& path);

} // namespace valdex
