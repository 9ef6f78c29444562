#include "audit_command.h"

#include "files/file_identity.h"
#include "records/audit_recorder.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <set>
#include <streambuf>

namespace valdex::cli {

namespace {

namespace fs = std::filesystem;

// Passes everything on to the stream's own buffer and keeps the first part.
class KeepingBuffer : public std::streambuf {
public:
    explicit KeepingBuffer(std::streambuf* target) : target_(target) {}
    std::string kept;

protected:
    int overflow(int c) override {
        if (c == traits_type::eof()) return traits_type::not_eof(c);
        Keep(static_cast<char>(c), 1);
        return target_->sputc(static_cast<char>(c));
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        Keep(s, n);
        return target_->sputn(s, n);
    }
    int sync() override { return target_->pubsync(); }

private:
    void Keep(char c, std::streamsize) { Keep(&c, 1); }
    void Keep(const char* s, std::streamsize n) {
        constexpr std::size_t kLimit = 4000;
        if (kept.size() < kLimit)
            kept.append(s,
                        std::min<std::size_t>(static_cast<std::size_t>(n), kLimit - kept.size()));
    }
    std::streambuf* target_;
};

// The options whose value is a file the command writes.
const std::set<std::string> kOutputOptions = {"--pdf", "--svg", "--png", "--salida"};

std::string OptionValue(const std::vector<std::string>& args, const std::string& option) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == option) return args[i + 1];
    return {};
}

bool Has(const std::vector<std::string>& args, const std::string& option) {
    return std::find(args.begin(), args.end(), option) != args.end();
}

// Adds a value, as JSON text, to the text of an array being written.
void AddToArray(std::string& array, const std::string& value) {
    array += (array.size() > 1 ? "," : "") + value;
}

std::string Sha256OfFile(const std::string& path) {
    try {
        return IdentifyFile(path).sha256;
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

int RunAudited(const std::vector<std::string>& given, AuditRecorder& recorder,
               int (*run)(const std::vector<std::string>&, AuditRecorder&,
                          std::vector<FileRead>&)) {
    std::vector<FileRead> reads;
    const std::string command = given.empty() ? std::string() : given[0];
    // These record entries of their own, or change nothing.
    if (command.empty() || command == "ayuda" || command == "--help" || command == "-h" ||
        command == "firmar" || command == "verificar" || command == "auditoria")
        return run(given, recorder, reads);

    std::vector<std::string> args = given;
    std::string reason;
    if (command == "importar") {
        for (std::size_t i = 1; i + 1 < args.size(); ++i)
            if (args[i] == "--motivo") {
                reason = args[i + 1];
                args.erase(args.begin() + static_cast<long>(i),
                           args.begin() + static_cast<long>(i) + 2);
                break;
            }
    }
    nlohmann::json details = {{"programa", "valdex-cli"}, {"comando", command}};
    // The arguments and the studies read may run to ten thousand: written as
    // JSON text, after the other members.
    std::string arguments = "[";
    for (std::size_t i = 1; i < given.size(); ++i)
        AddToArray(arguments, AuditJsonString(given[i]));
    arguments += "]";

    const std::string replaced = OptionValue(args, "--salida");
    std::error_code ignored;
    if (command == "importar" && Has(args, "--reemplazar") &&
        fs::is_regular_file(replaced, ignored)) {
        const std::string before = Sha256OfFile(replaced);
        details["sha256_antes"] = before;
        AuditTrail* trail = recorder.Trail();
        if (reason.empty() && !before.empty() && trail && trail->StudySigned(before)) {
            const std::string message =
                "valdex-cli: " + replaced +
                ": un informe firmado se refiere a este estudio; indique el "
                "motivo del cambio con --motivo TEXTO.\n";
            std::cerr << message;
            details["estado"] = 1;
            details["resultado"] = "rechazado";
            details["mensajes"] = message;
            recorder.Record(audit_event::kFailed, details, {{"argumentos", arguments}});
            return 1;
        }
    }
    if (!reason.empty()) details["motivo"] = reason;

    KeepingBuffer keeping(std::cerr.rdbuf());
    std::streambuf* original = std::cerr.rdbuf(&keeping);
    int status = 1;
    try {
        status = run(args, recorder, reads);
    } catch (...) {
        std::cerr.rdbuf(original);
        throw;
    }
    std::cerr.flush();
    std::cerr.rdbuf(original);

    ResolveReadPaths(reads);
    std::string studies = "[";
    // The keys in the order of the other objects of the entry.
    for (const FileRead& read : reads)
        AddToArray(studies, "{\"ruta\":" + AuditJsonString(read.fullPath) + ",\"sha256\":\"" +
                                read.sha256 + "\",\"tamano\":" + std::to_string(read.size) + "}");
    if (reads.empty())
        for (std::size_t i = 1; i < args.size(); ++i) {
            const std::string& arg = args[i];
            const bool output = kOutputOptions.count(args[i - 1]) > 0;
            std::error_code ignored;
            if (!output && arg.size() > 4 && arg.compare(arg.size() - 4, 4, ".w8c") == 0 &&
                fs::is_regular_file(arg, ignored))
                AddToArray(studies, AuditJsonText(FileDetails(arg)));
        }
    studies += "]";
    details["estado"] = status;
    details["resultado"] = status == 0 ? "correcto" : status == 2 ? "rechazado" : "fallido";
    if (!keeping.kept.empty()) details["mensajes"] = keeping.kept;
    nlohmann::json written = nlohmann::json::array();
    if (status == 0)
        for (const std::string& option : kOutputOptions)
            if (const std::string file = OptionValue(args, option); !file.empty())
                written.push_back(FileDetails(file));
    details["archivos_escritos"] = written;
    const std::string event =
        status != 0 ? audit_event::kFailed
        : command == "importar" && !replaced.empty() && details.contains("sha256_antes")
            ? audit_event::kSaved
            : command;
    if (!recorder.Record(event, details, {{"argumentos", arguments}, {"estudios", studies}}))
        std::cerr << "valdex-cli: aviso: no se registró en el registro de auditoría: "
                  << recorder.Problem() << '\n';
    return status;
}

int RunAuditCommand(const std::vector<std::string>& args, AuditRecorder& recorder, Streams io) {
    constexpr const char* kUsage = "Uso: valdex-cli auditoria [--estudio ARCHIVO] [--desde FECHA] "
                                   "[--hasta FECHA] [--csv]\n"
                                   "       valdex-cli auditoria --verificar\n";
    AuditFilter filter;
    bool csv = false, verify = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string* valued = arg == "--estudio" ? &filter.study
                              : arg == "--desde" ? &filter.from
                              : arg == "--hasta" ? &filter.to
                                                 : nullptr;
        if (valued) {
            if (i + 1 == args.size()) {
                io.err << "Falta el valor de " << arg << ".\n" << kUsage;
                return 2;
            }
            *valued = args[++i];
        } else if (arg == "--csv") {
            csv = true;
        } else if (arg == "--verificar") {
            verify = true;
        } else {
            io.err << "Opción desconocida: " << arg << ".\n" << kUsage;
            return 2;
        }
    }
    AuditTrail* trail = recorder.Trail();
    if (!trail) {
        io.err << "valdex-cli: " << recorder.Problem() << '\n';
        return 1;
    }
    if (verify) {
        const AuditVerification result = trail->Verify();
        (result.intact ? io.out : io.err)
            << trail->DatabasePath() << ": " << result.message << '\n';
        recorder.Record(audit_event::kVerified,
                        {{"programa", "valdex-cli"},
                         {"comando", "auditoria --verificar"},
                         {"integro", result.intact},
                         {"mensaje", result.message},
                         {"primera_entrada_erronea", result.firstBad.value_or(0)}});
        return result.intact ? 0 : 1;
    }
    std::error_code ignored;
    if (!filter.study.empty() && fs::is_regular_file(filter.study, ignored)) {
        filter.studyHash = Sha256OfFile(filter.study);
        filter.study = fs::canonical(filter.study, ignored).string();
    }
    const std::vector<AuditEntry> entries = trail->Entries(filter);
    if (csv) {
        io.out << AuditCsv(entries);
    } else {
        for (const AuditEntry& e : entries)
            io.out << e.sequence << "  " << e.time << "  " << e.login << " (" << e.fullName << ")  "
                   << e.event << "  " << e.details << '\n';
    }
    return 0;
}

} // namespace valdex::cli
