#pragma once
// The look at the audit trail when the application starts: its end walked
// (the whole chain is walked on request, in Archivo > "Registro de
// auditoría…" and in valdex-cli auditoria --verificar), on a thread of its
// own with its own connection, so that the main window never waits for it
// however long the trail has grown. What is wrong comes in the error box.

#include <QObject>

#include <atomic>
#include <optional>
#include <string>
#include <thread>

namespace valdex {

class AuditRecorder;
class AuditTrail;
class DialogService;

// What the error box says of the trail, or nothing when its end is intact;
// `trail` null when it could not be opened, for the reason given.
std::optional<std::string> StartCheckProblem(AuditTrail* trail, const std::string& openProblem);

class AuditStartCheck {
public:
    // Begins the walk; the error box, if any, shows in `context`'s thread.
    AuditStartCheck(const AuditRecorder& recorder, DialogService& dialogs, QObject* context);
    // Waits for the walk, which reads no more than the trail's last entries.
    ~AuditStartCheck();
    AuditStartCheck(const AuditStartCheck&) = delete;
    AuditStartCheck& operator=(const AuditStartCheck&) = delete;

    bool Finished() const { return finished_; }

private:
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

} // namespace valdex
