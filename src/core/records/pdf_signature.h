#pragma once
// Signing a report: the signer's printed name, the UTC date and time and the
// meaning are drawn into the meaning's stamp area of the sign-off block on
// the last page (a signature field whose appearance is that stamp), and the
// whole file is signed with a CMS detached signature (SHA-256, CAdES
// signing-certificate attribute, /SubFilter /ETSI.CAdES.detached) over its
// byte range, appended as an incremental update so that earlier signatures
// stay valid. The signature dictionary, inside the signed bytes, also
// carries the study's SHA-256 and the audit chain head at signing time.

#include "records/audit_trail.h"
#include "records/signing_keys.h"
#include "validation/signoff_block.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace valdex {

struct SignRequest {
    SignatureMeaning meaning = SignatureMeaning::Elaboro;
    std::string signerName; // the printed name
    std::string login;
    std::string host;
    std::string studySha256;
    ChainHead auditHead;
    std::int64_t time = 0; // seconds since the epoch
};

// The study's SHA-256 that the report states in its XMP metadata, if any.
std::optional<std::string> ReportStudySha256(const std::string& pdf);

// The signed file. Throws AppError (Spanish) when the file cannot be signed
// or already holds a signature of that meaning.
std::string SignPdf(const std::string& pdf, const SigningKey& key, const SignRequest& request);

struct SignatureCheck {
    std::string meaning;
    std::string signer;      // the certificate's name
    std::string time;        // "2026-12-09 07:15:02 UTC"
    std::string login, host; // who signed, where
    std::string studySha256;
    std::optional<ChainHead> auditHead;
    std::string fingerprint; // SHA-256 of the certificate
    bool valid = false;      // the bytes it covers are those signed
    std::string problem;     // why not
    std::size_t coveredEnd = 0;
};

struct PdfCheck {
    std::vector<SignatureCheck> signatures; // in signing order
    std::size_t size = 0;
    bool coversWhole = false;               // the last signature reaches the file's end
    std::optional<std::string> studySha256; // the report's own statement
};

// Throws AppError when the file is not a PDF the program can read.
PdfCheck CheckPdfSignatures(const std::string& pdf);

// The text of the stamp, one line each (UTF-8).
std::vector<std::string> StampLines(const SignRequest& request);

} // namespace valdex
