#pragma once
// valdex-cli and the audit trail: every subcommand leaves one entry (its
// command, parameters, status, messages, the studies it read and the files
// it wrote); "auditoria" lists and verifies the trail.

#include "study_commands.h"

#include <string>
#include <vector>

namespace valdex {
class AuditRecorder;
}

namespace valdex::cli {

// Runs `run` with standard error also kept for the entry, then records it.
// A study that a signed report refers to is replaced ("importar
// --reemplazar") only with "--motivo TEXTO", which goes into the entry.
// `run` adds to its last argument what it read of each study, so that a
// study is read once; for a command that does not, the studies named are
// identified after it.
int RunAudited(const std::vector<std::string>& args, AuditRecorder& recorder,
               int (*run)(const std::vector<std::string>&, AuditRecorder&, std::vector<FileRead>&));

// valdex-cli auditoria [--estudio F] [--desde FECHA] [--hasta FECHA] [--csv]
// valdex-cli auditoria --verificar
int RunAuditCommand(const std::vector<std::string>& args, AuditRecorder& recorder, Streams io);

} // namespace valdex::cli
