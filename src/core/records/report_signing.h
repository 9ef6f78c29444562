#pragma once
// Signing a report file and recording it, as both valdex-cli and the
// application do: the report read, the user's key made on first use or
// read with its passphrase, the stamp and signature appended, the file
// replaced safely, and a "firmado" entry (or "fallido" with the reason).

#include "records/audit_recorder.h"
#include "validation/signoff_block.h"

#include <string>

namespace valdex {

struct SignOutcome {
    std::string signerName;
    std::string keyCreated; // the key file made for this signature, if any
};

// True when `keyPath` (empty: the user's own key) must be made first; the
// passphrase then is the new one.
bool SigningKeyMissing(const std::string& keyPath);

// Throws AppError with a Spanish message; the file is then as it was.
// `program` names the caller in the entry ("valdex-cli", "valdex").
SignOutcome SignReportFile(const std::string& report, SignatureMeaning meaning,
                           const std::string& keyPath, const std::string& passphrase,
                           AuditRecorder& recorder, const std::string& program);

} // namespace valdex
