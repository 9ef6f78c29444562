#include "records/audit_start_check.h"

#include "records/audit_recorder.h"
#include "records/audit_trail.h"

#include <QMetaObject>
#include <QPointer>
#include <QString>

#include <exception>

namespace valdex {

std::optional<std::string> StartCheckProblem(AuditTrail* trail, const std::string& openProblem) {
    if (!trail) return "No se puede abrir el registro de auditoría: " + openProblem;
    const AuditVerification result = trail->VerifyTail(AuditTrail::kTailCheckedAtStart);
    if (result.intact) return std::nullopt;
    return "El registro de auditoría no está íntegro: " + result.message;
}

AuditStartCheck::AuditStartCheck(const AuditRecorder& recorder,
                                 std::function<void(const QString&)> report, QObject* context)
    : thread_([this, database = recorder.DatabasePath(), head = recorder.HeadPath(),
               report = std::move(report), target = QPointer<QObject>(context)] {
          std::optional<std::string> problem;
          try {
              AuditTrail trail(database, head);
              problem = StartCheckProblem(&trail, {});
          } catch (const std::exception& error) {
              problem = StartCheckProblem(nullptr, error.what());
          }
          // A queued call to an object already gone is dropped by Qt.
          if (problem && target)
              QMetaObject::invokeMethod(
                  target.data(),
                  [report, text = QString::fromStdString(*problem)] { report(text); },
                  Qt::QueuedConnection);
          finished_ = true;
      }) {}

AuditStartCheck::~AuditStartCheck() {
    if (thread_.joinable()) thread_.join();
}

} // namespace valdex
