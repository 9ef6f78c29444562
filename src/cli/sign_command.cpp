#include "sign_command.h"

#include "base/app_error.h"
#include "files/file_identity.h"
#include "files/file_io.h"
#include "records/audit_recorder.h"
#include "records/pdf_signature.h"
#include "records/report_signing.h"
#include "records/signing_keys.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <ostream>
#include <termios.h>
#include <unistd.h>

namespace valdex::cli {

namespace {

constexpr std::size_t kMaxReportBytes = 256u << 20;
constexpr const char* kSignUsage =
    "Uso: valdex-cli firmar INFORME.pdf --significado Elaboró|Revisó|Aprobó [--clave CLAVE.p12]\n"
    "       [--clave-archivo ARCHIVO]\n";
constexpr const char* kVerifyUsage =
    "Uso: valdex-cli verificar INFORME.pdf [--estudio ESTUDIO.w8c]\n";

// Options with a value; the one argument without a dash is the report.
bool ParseOptions(const std::vector<std::string>& args, std::vector<std::string> names,
                  std::vector<std::string*> values, std::string& file, std::ostream& err) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::size_t k = 0;
        while (k < names.size() && names[k] != args[i])
            ++k;
        if (k < names.size()) {
            if (i + 1 == args.size()) {
                err << "Falta el valor de " << args[i] << ".\n";
                return false;
            }
            *values[k] = args[++i];
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            err << "Opción desconocida: " << args[i] << ".\n";
            return false;
        } else if (file.empty()) {
            file = args[i];
        } else {
            err << "Sobra el argumento " << args[i] << ".\n";
            return false;
        }
    }
    if (file.empty()) err << "Falta el informe PDF.\n";
    return !file.empty();
}

std::string PromptPassphrase(const char* question) {
    std::ofstream tty("/dev/tty");
    tty << question << std::flush;
    termios old{};
    const bool terminal = tcgetattr(STDIN_FILENO, &old) == 0;
    if (terminal) {
        termios quiet = old;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string line;
    std::getline(std::cin, line);
    if (terminal) tcsetattr(STDIN_FILENO, TCSANOW, &old);
    tty << '\n';
    return line;
}

// The passphrase, or nothing when no source gives one.
std::optional<std::string> Passphrase(const std::string& file, bool creating) {
    if (!file.empty()) {
        const auto bytes = ReadFileBytes(file, 4096);
        if (!bytes)
            throw StudyError(file + ": el archivo de la frase de paso es demasiado grande.");
        std::string line = bytes->substr(0, bytes->find_first_of("\r\n"));
        return line;
    }
    if (const char* env = std::getenv("VALDEX_FRASE_CLAVE")) return std::string(env);
    if (!isatty(STDIN_FILENO)) return std::nullopt;
    std::string first = PromptPassphrase(creating ? "Nueva frase de paso para la clave de firma: "
                                                  : "Frase de paso de la clave de firma: ");
    if (creating && PromptPassphrase("Repita la frase de paso: ") != first)
        throw StudyError("Las dos frases de paso no coinciden; no se creó la clave.");
    return first;
}

std::string ReadReport(const std::string& path) {
    std::optional<std::string> bytes;
    try {
        bytes = ReadFileBytes(path, kMaxReportBytes);
    } catch (const AppError& error) {
        throw FileError(path + ": " + error.what());
    }
    if (!bytes) throw StudyError(path + ": el informe es mayor de lo que se firma (256 MiB).");
    return *bytes;
}

} // namespace

int RunSign(const std::vector<std::string>& args, AuditRecorder& recorder, Streams io) {
    std::string report, meaningText, keyPath, passFile;
    if (!ParseOptions(args, {"--significado", "--clave", "--clave-archivo"},
                      {&meaningText, &keyPath, &passFile}, report, io.err)) {
        io.err << kSignUsage;
        return 2;
    }
    const auto meaning = ParseMeaning(meaningText);
    if (!meaning) {
        io.err << "El significado debe ser \"Elaboró\", \"Revisó\" o \"Aprobó\".\n" << kSignUsage;
        return 2;
    }
    try {
        const bool creating = SigningKeyMissing(keyPath);
        const auto passphrase = Passphrase(passFile, creating);
        if (!passphrase)
            throw StudyError("Falta la frase de paso de la clave: use --clave-archivo ARCHIVO o la "
                             "variable VALDEX_FRASE_CLAVE.");
        const SignOutcome outcome =
            SignReportFile(report, *meaning, keyPath, *passphrase, recorder, "valdex-cli");
        if (!outcome.keyCreated.empty())
            io.out << "Se creó la clave de firma de " << outcome.signerName << " en "
                   << outcome.keyCreated << ".\n";
        io.out << report << ": firmado (" << meaningText << ") por " << outcome.signerName << ".\n";
        return 0;
    } catch (const std::exception& error) {
        io.err << "valdex-cli: " << error.what() << '\n';
        return 1;
    }
}

int RunVerify(const std::vector<std::string>& args, AuditRecorder& recorder, Streams io) {
    std::string report, study;
    if (!ParseOptions(args, {"--estudio"}, {&study}, report, io.err)) {
        io.err << kVerifyUsage;
        return 2;
    }
    nlohmann::json details = {{"programa", "valdex-cli"}, {"comando", "verificar"}};
    bool all = true;
    try {
        const std::string bytes = ReadReport(report);
        details["informe"] = FileDetails(report);
        const PdfCheck check = CheckPdfSignatures(bytes);
        if (check.signatures.empty()) {
            io.out << report << ": el informe no tiene firmas.\n";
            all = false;
        }
        const AuditIdentity me = CurrentIdentity();
        AuditTrail* trail = recorder.Trail();
        std::vector<ChainHead> heads;
        int n = 0;
        for (const SignatureCheck& s : check.signatures) {
            io.out << "Firma " << ++n << ": " << s.meaning << ", " << s.signer << " (" << s.login
                   << "), " << s.time << ": " << (s.valid ? "válida" : "no válida: " + s.problem)
                   << ".\n";
            all = all && s.valid;
            if (check.studySha256 && s.studySha256 != *check.studySha256) {
                io.out << "  La firma se refiere a otro estudio (SHA-256 " << s.studySha256
                       << ").\n";
                all = false;
            }
            if (s.login != me.login || s.host != me.host) {
                io.out << "  Su registro de auditoría es el de " << s.login << " en " << s.host
                       << "; no se comprueba aquí.\n";
                continue;
            }
            if (!s.auditHead || !trail) {
                io.out << "  Sin cabeza de la cadena de auditoría comprobable.\n";
                all = false;
                continue;
            }
            heads.push_back(*s.auditHead);
            AuditFilter filter;
            filter.study = "\"cabeza_firmada\":\"" + s.auditHead->Text() + "\"";
            bool entry = false;
            for (const AuditEntry& e : trail->Entries(filter))
                entry = entry || e.event == audit_event::kSigned;
            if (!entry) {
                io.out << "  Falta su entrada en el registro de auditoría.\n";
                all = false;
            }
        }
        if (!check.coversWhole && !check.signatures.empty()) {
            io.out << report << ": modificado después de la última firma ("
                   << check.size - check.signatures.back().coveredEnd << " bytes añadidos).\n";
            all = false;
        } else if (check.coversWhole) {
            io.out << report << ": la última firma cubre todo el archivo.\n";
        }
        if (!study.empty()) {
            const std::string sha = IdentifyFile(study).sha256;
            if (!check.studySha256) {
                io.out << report << ": el informe no indica el SHA-256 de su estudio.\n";
                all = false;
            } else if (sha != *check.studySha256) {
                io.out << study << ": su SHA-256 (" << sha << ") no es el que indica el informe ("
                       << *check.studySha256 << ").\n";
                all = false;
            } else {
                io.out << study << ": el SHA-256 es el que indica el informe.\n";
            }
        }
        if (trail && !heads.empty()) {
            const AuditVerification chain = trail->Verify(heads);
            io.out << "Registro de auditoría: " << chain.message << '\n';
            all = all && chain.intact;
        } else if (!trail) {
            io.out << "Registro de auditoría: " << recorder.Problem() << '\n';
            all = false;
        }
    } catch (const std::exception& error) {
        io.err << "valdex-cli: " << error.what() << '\n';
        details["mensajes"] = error.what();
        all = false;
    }
    details["resultado"] = all ? "correcto" : "fallido";
    recorder.Record(audit_event::kVerified, details);
    io.out << (all ? "Verificación correcta.\n" : "Verificación fallida.\n");
    return all ? 0 : 1;
}

} // namespace valdex::cli
