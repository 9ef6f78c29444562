#include "records/signing_keys.h"

#include "base/app_error.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pkcs12.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace valdex {

namespace {

std::string OpenSslText() {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (!code) return "error de OpenSSL";
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}

void Check(bool ok, const std::string& what) {
    if (!ok) throw AppError(what + " (" + OpenSslText() + ").");
}

void AddExtension(X509* cert, int nid, const char* value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    Check(ext != nullptr, "No se pudo preparar el certificado");
    X509_add_ext(cert, ext, -1);
    X509_EXTENSION_free(ext);
}

} // namespace

std::string DefaultKeyPath() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg == '/') return std::string(xdg) + "/valdex/firma.p12";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.local/share/valdex/firma.p12";
}

void CreateSigningKey(const std::string& path, const std::string& passphrase,
                      const AuditIdentity& identity) {
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(EVP_EC_gen("P-256"), EVP_PKEY_free);
    Check(key != nullptr, "No se pudo generar el par de claves");
    std::unique_ptr<X509, decltype(&X509_free)> cert(X509_new(), X509_free);
    Check(cert != nullptr, "No se pudo crear el certificado");
    X509_set_version(cert.get(), 2);
    unsigned char serial[16];
    Check(RAND_bytes(serial, sizeof serial) == 1, "No se pudo crear el certificado");
    serial[0] &= 0x7F;
    BIGNUM* bn = BN_bin2bn(serial, sizeof serial, nullptr);
    BN_to_ASN1_INTEGER(bn, X509_get_serialNumber(cert.get()));
    BN_free(bn);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), 0);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), 10L * 365 * 24 * 3600);
    X509_NAME* name = X509_get_subject_name(cert.get());
    auto add = [name](const char* field, const std::string& value) {
        if (value.empty()) return;
        Check(X509_NAME_add_entry_by_txt(name, field, MBSTRING_UTF8,
                                         reinterpret_cast<const unsigned char*>(value.data()),
                                         static_cast<int>(value.size()), -1, 0) == 1,
              "El nombre del usuario no cabe en el certificado");
    };
    add("CN", identity.fullName.empty() ? identity.login : identity.fullName);
    add("UID", identity.login);
    add("O", "VALDEX (certificado propio)");
    X509_set_issuer_name(cert.get(), name);
    X509_set_pubkey(cert.get(), key.get());
    AddExtension(cert.get(), NID_basic_constraints, "critical,CA:FALSE");
    AddExtension(cert.get(), NID_key_usage, "critical,digitalSignature,nonRepudiation");
    AddExtension(cert.get(), NID_subject_key_identifier, "hash");
    Check(X509_sign(cert.get(), key.get(), EVP_sha256()) > 0, "No se pudo firmar el certificado");

    std::unique_ptr<PKCS12, decltype(&PKCS12_free)> p12(
        PKCS12_create(passphrase.c_str(), "VALDEX", key.get(), cert.get(), nullptr, NID_aes_256_cbc,
                      NID_aes_256_cbc, 0, 0, 0),
        PKCS12_free);
    Check(p12 != nullptr, "No se pudo cifrar la clave");
    unsigned char* der = nullptr;
    const int length = i2d_PKCS12(p12.get(), &der);
    Check(length > 0, "No se pudo cifrar la clave");
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    bool written =
        fd >= 0 && ::write(fd, der, static_cast<std::size_t>(length)) == length && ::fsync(fd) == 0;
    if (fd >= 0) written = ::close(fd) == 0 && written;
    OPENSSL_free(der);
    if (!written) {
        if (fd >= 0) ::unlink(path.c_str());
        throw FileError(path + ": no se pudo guardar la clave de firma.");
    }
}

SigningKey LoadSigningKey(const std::string& path, const std::string& passphrase) {
    std::unique_ptr<BIO, decltype(&BIO_free)> in(BIO_new_file(path.c_str(), "rb"), BIO_free);
    if (!in) {
        ERR_clear_error();
        throw FileError(path + ": no se puede leer la clave de firma.");
    }
    std::unique_ptr<PKCS12, decltype(&PKCS12_free)> p12(d2i_PKCS12_bio(in.get(), nullptr),
                                                        PKCS12_free);
    if (!p12) {
        ERR_clear_error();
        throw StudyError(path + ": no es un archivo PKCS#12.");
    }
    if (PKCS12_verify_mac(p12.get(), passphrase.c_str(), -1) != 1) {
        ERR_clear_error();
        throw StudyError(path + ": frase de paso incorrecta; no se firmó nada.");
    }
    EVP_PKEY* key = nullptr;
    X509* cert = nullptr;
    STACK_OF(X509)* ca = nullptr;
    if (PKCS12_parse(p12.get(), passphrase.c_str(), &key, &cert, &ca) != 1 || !key || !cert) {
        EVP_PKEY_free(key);
        X509_free(cert);
        sk_X509_pop_free(ca, X509_free);
        ERR_clear_error();
        throw StudyError(path + ": el archivo no tiene una clave con su certificado.");
    }
    SigningKey result;
    result.key.reset(key, EVP_PKEY_free);
    result.certificate.reset(cert, X509_free);
    for (int i = 0; ca && i < sk_X509_num(ca); ++i) {
        X509* one = sk_X509_value(ca, i);
        X509_up_ref(one);
        result.chain.emplace_back(one, X509_free);
    }
    sk_X509_pop_free(ca, X509_free);
    return result;
}

std::string CertificateName(X509* certificate) {
    X509_NAME* name = X509_get_subject_name(certificate);
    const int index = X509_NAME_get_index_by_NID(name, NID_commonName, -1);
    if (index >= 0) {
        unsigned char* utf8 = nullptr;
        const int length =
            ASN1_STRING_to_UTF8(&utf8, X509_NAME_ENTRY_get_data(X509_NAME_get_entry(name, index)));
        if (length >= 0) {
            std::string text(reinterpret_cast<char*>(utf8), static_cast<std::size_t>(length));
            OPENSSL_free(utf8);
            return text;
        }
    }
    char* line = X509_NAME_oneline(name, nullptr, 0);
    std::string text = line ? line : "";
    OPENSSL_free(line);
    return text;
}

std::string CertificateFingerprint(X509* certificate) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    X509_digest(certificate, EVP_sha256(), digest, &length);
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (unsigned int i = 0; i < length; ++i) {
        out += hex[digest[i] >> 4];
        out += hex[digest[i] & 0xF];
    }
    return out;
}

} // namespace valdex
