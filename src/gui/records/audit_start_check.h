#pragma once
// The look at the audit trail when the application starts: its end walked
// (the whole chain is walked on request, in Archivo > "Registro de
// auditoría…" and in valdex-cli auditoria --verificar), on a thread of its
// own with its own connection, so that the main window never waits for it
// however long the trail has grown. What is wrong is handed to the caller,
// which shows it when the start-up lets it be seen.

#include <QObject>

#include <QString>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>

namespace valdex {

class AuditRecorder;
class AuditTrail;

// What the error box says of the trail, or nothing when its end is intact;
// `trail` null when it could not be opened, for the reason given.
std::optional<std::string> StartCheckProblem(AuditTrail* trail, const std::string& openProblem);

class AuditStartCheck {
public:
    // Begins the walk; `report` gets what is wrong, if anything, in
    // `context`'s thread, and not at all once `context` is gone.
    AuditStartCheck(const AuditRecorder& recorder, std::function<void(const QString&)> report,
                    QObject* context);
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
