#pragma once
// The signer's key and certificate. On first use the program makes the
// user's own: an ECDSA P-256 key pair and a self-signed X.509 certificate
// with the user's full name (CN) and login (UID), kept in a PKCS#12 file
// readable by the user only and encrypted with the passphrase the user
// chose (AES-256, PBKDF2). A laboratory with a certificate authority of its
// own gives its PKCS#12 instead. The key is only ever read with its
// passphrase: a wrong one gives nothing to sign with.

#include "records/audit_trail.h"

#include <memory>
#include <string>

typedef struct evp_pkey_st EVP_PKEY;
typedef struct x509_st X509;

namespace valdex {

struct SigningKey {
    std::shared_ptr<EVP_PKEY> key;
    std::shared_ptr<X509> certificate;
    std::vector<std::shared_ptr<X509>> chain; // the authority's, from a PKCS#12
};

// $XDG_DATA_HOME/valdex/firma.p12, else ~/.local/share/valdex/firma.p12.
std::string DefaultKeyPath();

// Makes the key pair and the certificate and writes them, encrypted with the
// passphrase, to `path` (which must not exist yet). Throws AppError.
void CreateSigningKey(const std::string& path, const std::string& passphrase,
                      const AuditIdentity& identity);

// Reads the PKCS#12 at `path`. Throws AppError: "Frase de paso incorrecta…"
// for a wrong passphrase, else a message naming the file.
SigningKey LoadSigningKey(const std::string& path, const std::string& passphrase);

// The certificate's subject common name, or its whole subject.
std::string CertificateName(X509* certificate);
// SHA-256 of the certificate's DER, in hex.
std::string CertificateFingerprint(X509* certificate);

} // namespace valdex
