#pragma once
// "firmar": signs a validation report (PAdES, incremental) with the user's
// key; "verificar": checks every signature, the bytes after the last one,
// the study file and the audit entries of the signatures.

#include "study_commands.h"

#include <string>
#include <vector>

namespace valdex {
class AuditRecorder;
}

namespace valdex::cli {

// valdex-cli firmar INFORME.pdf --significado Elaboró|Revisó|Aprobó [--clave CLAVE.p12]
//            [--clave-archivo ARCHIVO]
// The passphrase comes from the first line of --clave-archivo, else from
// VALDEX_FRASE_CLAVE, else from the terminal; never from a prompt that a
// script cannot answer.
int RunSign(const std::vector<std::string>& args, AuditRecorder& recorder, Streams io);

// valdex-cli verificar INFORME.pdf [--estudio ESTUDIO.w8c]: 0 only when all holds.
int RunVerify(const std::vector<std::string>& args, AuditRecorder& recorder, Streams io);

} // namespace valdex::cli
