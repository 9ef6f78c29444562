#include "records/report_signing.h"

#include "base/app_error.h"
#include "files/file_identity.h"
#include "files/file_io.h"
#include "records/pdf_signature.h"
#include "records/signing_keys.h"

#include <chrono>
#include <filesystem>

namespace valdex {

namespace {
constexpr std::size_t kMaxReportBytes = 256u << 20;
}

bool SigningKeyMissing(const std::string& keyPath) {
    std::error_code ignored;
    return keyPath.empty() && !std::filesystem::exists(DefaultKeyPath(), ignored);
}

SignOutcome SignReportFile(const std::string& report, SignatureMeaning meaning,
                           const std::string& keyPath, const std::string& passphrase,
                           AuditRecorder& recorder, const std::string& program) {
    nlohmann::json details = {{"programa", program},
                              {"comando", "firmar"},
                              {"informe", report},
                              {"significado", MeaningText(meaning)}};
    try {
        const AuditIdentity identity = CurrentIdentity();
        const bool creating = SigningKeyMissing(keyPath);
        const std::string key = keyPath.empty() ? DefaultKeyPath() : keyPath;
        std::optional<std::string> original;
        try {
            original = ReadFileBytes(report, kMaxReportBytes);
        } catch (const AppError& error) {
            throw FileError(report + ": " + error.what());
        }
        if (!original) throw StudyError(report + ": el informe es mayor de 256 MiB.");
        details["informe"] = FileDetails(report);
        const auto studySha = ReportStudySha256(*original);
        if (!studySha)
            throw StudyError(report + ": el informe no indica el SHA-256 de su estudio en sus "
                                      "metadatos; solo se firman informes de validación.");
        SignOutcome outcome;
        if (creating) {
            if (passphrase.size() < 8)
                throw StudyError("La frase de paso debe tener al menos 8 caracteres.");
            CreateSigningKey(key, passphrase, identity);
            outcome.keyCreated = key;
        }
        const SigningKey signingKey = LoadSigningKey(key, passphrase);
        AuditTrail* trail = recorder.Trail();
        if (!trail) throw StudyError(recorder.Problem());
        SignRequest request;
        request.meaning = meaning;
        request.signerName = CertificateName(signingKey.certificate.get());
        request.login = identity.login;
        request.host = identity.host;
        request.studySha256 = *studySha;
        request.auditHead = trail->Head();
        request.time = std::chrono::duration_cast<std::chrono::seconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
        const std::string signedPdf = SignPdf(*original, signingKey, request);
        try {
            ReplaceFileContent(report, signedPdf);
        } catch (const AppError& error) {
            throw FileError(report + ": " + error.what());
        }
        details["sha256_antes"] = Sha256Hex(*original);
        details["sha256_despues"] = Sha256Hex(signedPdf);
        details["firmante"] = request.signerName;
        details["certificado_sha256"] = CertificateFingerprint(signingKey.certificate.get());
        details["estudio_sha256"] = *studySha;
        details["cabeza_firmada"] = request.auditHead.Text();
        if (!recorder.Record(audit_event::kSigned, details))
            throw FileError("El informe quedó firmado, pero la firma no se registró en el "
                            "registro de auditoría: " +
                            recorder.Problem());
        outcome.signerName = request.signerName;
        return outcome;
    } catch (const std::exception& error) {
        details["estado"] = 1;
        details["mensajes"] = error.what();
        recorder.Record(audit_event::kFailed, details);
        throw;
    }
}

} // namespace valdex
