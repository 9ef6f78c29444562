#include "records/pdf_signature.h"

#include "base/app_error.h"
#include "files/cp1252.h"
#include "records/pdf_file.h"

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/x509.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <memory>

namespace valdex {

using pdf::Object;

namespace {

constexpr std::size_t kSignatureBytes = 8192; // room for the CMS, in bytes
constexpr const char* kByteRangeMark = "[0 0000000000 0000000000 0000000000]";

std::string FieldName(SignatureMeaning meaning) {
    switch (meaning) {
    case SignatureMeaning::Elaboro:
        return "Firma Elaboro";
    case SignatureMeaning::Reviso:
        return "Firma Reviso";
    case SignatureMeaning::Aprobo:
        return "Firma Aprobo";
    }
    return "Firma";
}

std::string Cp1252Line(const std::string& utf8) {
    if (auto converted = Utf8ToCp1252(utf8)) return *converted;
    std::string out; // characters the font cannot show become '?'
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t length = 1;
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0xF0)
            length = 4;
        else if (c >= 0xE0)
            length = 3;
        else if (c >= 0xC0)
            length = 2;
        const auto one = Utf8ToCp1252(utf8.substr(i, length));
        out += one ? *one : "?";
        i += length;
    }
    return out;
}

// The line shortened with an ellipsis to fit `width` points at `size`
// (Helvetica's widest lower-case letters are about 0.6 em).
std::string Fit(std::string line, double width, double size) {
    const auto fits = [&](const std::string& text) { return text.size() * size * 0.6 <= width; };
    if (fits(line)) return line;
    while (!line.empty() && !fits(line + "\x85"))
        line.pop_back();
    return line + "\x85";
}

std::string PdfDate(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm utc{};
    gmtime_r(&t, &utc);
    char text[64];
    std::snprintf(text, sizeof text, "D:%04d%02d%02d%02d%02d%02dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return text;
}

std::string ReadableDate(const std::string& pdfDate) {
    const std::string d = pdfDate.rfind("D:", 0) == 0 ? pdfDate.substr(2) : pdfDate;
    if (d.size() < 14) return d;
    return d.substr(0, 4) + "-" + d.substr(4, 2) + "-" + d.substr(6, 2) + " " + d.substr(8, 2) +
           ":" + d.substr(10, 2) + ":" + d.substr(12, 2) + " UTC";
}

std::string Hex(const unsigned char* data, std::size_t size) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    out.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 0xF];
    }
    return out;
}

std::string OpenSslText() {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    char text[256] = "error de OpenSSL";
    if (code) ERR_error_string_n(code, text, sizeof text);
    return text;
}

std::string CmsSign(const std::string& data, const SigningKey& key) {
    std::unique_ptr<BIO, decltype(&BIO_free)> in(
        BIO_new_mem_buf(data.data(), static_cast<int>(data.size())), BIO_free);
    STACK_OF(X509)* chain = sk_X509_new_null();
    for (const auto& cert : key.chain)
        sk_X509_push(chain, cert.get());
    CMS_ContentInfo* cms = CMS_sign(key.certificate.get(), key.key.get(), chain, in.get(),
                                    CMS_DETACHED | CMS_BINARY | CMS_CADES | CMS_NOSMIMECAP);
    sk_X509_free(chain);
    if (!cms) throw AppError("No se pudo firmar el informe (" + OpenSslText() + ").");
    unsigned char* der = nullptr;
    const int length = i2d_CMS_ContentInfo(cms, &der);
    CMS_ContentInfo_free(cms);
    if (length <= 0) throw AppError("No se pudo firmar el informe (" + OpenSslText() + ").");
    std::string out(reinterpret_cast<char*>(der), static_cast<std::size_t>(length));
    OPENSSL_free(der);
    return out;
}

std::vector<Object> ArrayOf(const pdf::Document& doc, const Object* field) {
    if (!field) return {};
    const Object value = doc.Resolve(*field);
    return value.kind == Object::Kind::Array ? value.items : std::vector<Object>{};
}

struct FoundSignature {
    std::string name;
    Object dictionary;
};

// The signature fields of the document's last revision.
std::vector<FoundSignature> SignatureFields(const pdf::Document& doc) {
    std::vector<FoundSignature> found;
    const Object catalog = doc.Resolve(*doc.Trailer().Get("Root"));
    const Object* form = catalog.Get("AcroForm");
    if (!form) return found;
    const Object acroForm = doc.Resolve(*form);
    for (const Object& ref : ArrayOf(doc, acroForm.Get("Fields"))) {
        const Object field = doc.Resolve(ref);
        const Object* type = field.Get("FT");
        const Object* value = field.Get("V");
        if (!type || type->text != "Sig" || !value) continue;
        const Object* title = field.Get("T");
        found.push_back({title ? pdf::ReadTextString(*title) : "", doc.Resolve(*value)});
    }
    return found;
}

std::string Text(const Object& dict, const char* key) {
    const Object* value = dict.Get(key);
    return value && value->kind == Object::Kind::String ? pdf::ReadTextString(*value) : "";
}

} // namespace

std::vector<std::string> StampLines(const SignRequest& r) {
    return {r.signerName, MeaningText(r.meaning) + " (" + r.login + ")",
            ReadableDate(PdfDate(r.time))};
}

std::optional<std::string> ReportStudySha256(const std::string& bytes) {
    const pdf::Document doc(bytes);
    const Object catalog = doc.Resolve(*doc.Trailer().Get("Root"));
    const Object* metadata = catalog.Get("Metadata");
    if (!metadata || metadata->kind != Object::Kind::Ref) return std::nullopt;
    const auto xmp = doc.StreamBytes(metadata->number);
    if (!xmp) return std::nullopt;
    const std::string tag = kXmpStudySha256;
    std::size_t at = xmp->find("<" + tag + ">");
    std::size_t start = at == std::string::npos ? std::string::npos : at + tag.size() + 2;
    if (at == std::string::npos) {
        at = xmp->find(tag + "=\"");
        if (at != std::string::npos) start = at + tag.size() + 2;
    }
    if (start == std::string::npos || start + 64 > xmp->size()) return std::nullopt;
    std::string sha = xmp->substr(start, 64);
    for (char& c : sha) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return sha;
}

std::string SignPdf(const std::string& bytes, const SigningKey& key, const SignRequest& request) {
    const pdf::Document doc(bytes);
    for (const FoundSignature& existing : SignatureFields(doc))
        if (existing.name == FieldName(request.meaning))
            throw StudyError("El informe ya tiene la firma «" + MeaningText(request.meaning) +
                             "».");
    const std::vector<int> pages = doc.Pages();
    if (pages.empty()) throw StudyError("El informe no tiene páginas.");
    const int lastPage = pages.back();
    const std::vector<double> media = doc.MediaBox(lastPage);
    const SignOffBox box = SignOffBoxFor(request.meaning, media[2] - media[0], media[3] - media[1]);
    PdfRect stamp = box.stamp;
    stamp.x += media[0];
    stamp.y += media[1];

    pdf::IncrementalUpdate update(doc);
    const int font = update.NewObject();
    const int appearance = update.NewObject();
    const int signature = update.NewObject();
    const int widget = update.NewObject();
    update.Put(font, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding "
                     "/WinAnsiEncoding >>");

    // The stamp: the lines in Helvetica, a thin frame round them.
    std::string content = "q 0.15 0.25 0.55 RG 0.8 w 0.4 0.4 " +
                          Serialize(Object::Number(stamp.width - 0.8)) + " " +
                          Serialize(Object::Number(stamp.height - 0.8)) + " re S Q\nBT 0 g\n";
    double y = stamp.height - 13;
    bool firstLine = true;
    for (const std::string& line : StampLines(request)) {
        const double size = firstLine ? 10 : 8.5;
        content += "/F1 " + Serialize(Object::Number(size)) + " Tf 1 0 0 1 4 " +
                   Serialize(Object::Number(y)) + " Tm " +
                   pdf::ByteString(Fit(Cp1252Line(line), stamp.width - 8, size)) + " Tj\n";
        y -= 12;
        firstLine = false;
    }
    content += "ET";
    update.Put(appearance, "<< /Type /XObject /Subtype /Form /BBox [0 0 " +
                               Serialize(Object::Number(stamp.width)) + " " +
                               Serialize(Object::Number(stamp.height)) +
                               "] /Resources << /Font << /F1 " + std::to_string(font) +
                               " 0 R >> >> /Length " + std::to_string(content.size()) +
                               " >>\nstream\n" + content + "\nendstream");

    const std::string placeholder = "<" + std::string(kSignatureBytes * 2, '0') + ">";
    update.Put(signature,
               "<< /Type /Sig /Filter /Adobe.PPKLite /SubFilter /ETSI.CAdES.detached /ByteRange " +
                   std::string(kByteRangeMark) + " /Contents " + placeholder + " /M " +
                   pdf::ByteString(PdfDate(request.time)) + " /Name " +
                   pdf::TextString(request.signerName) + " /Reason " +
                   pdf::TextString(MeaningText(request.meaning)) + " /VALDEX_Usuario " +
                   pdf::TextString(request.login) + " /VALDEX_Equipo " +
                   pdf::TextString(request.host) + " /VALDEX_EstudioSHA256 " +
                   pdf::ByteString(request.studySha256) + " /VALDEX_CadenaAuditoria " +
                   pdf::ByteString(request.auditHead.Text()) + " >>");
    Object field = Object::Dictionary();
    field.Set("Type", Object::Name("Annot"));
    field.Set("Subtype", Object::Name("Widget"));
    field.Set("FT", Object::Name("Sig"));
    field.Set("T", Object::Literal(pdf::TextString(FieldName(request.meaning))));
    field.Set("F", Object::Integer(4 | 128)); // printed, locked
    field.Set("Rect", Object::Array({Object::Number(stamp.x), Object::Number(stamp.y),
                                     Object::Number(stamp.x + stamp.width),
                                     Object::Number(stamp.y + stamp.height)}));
    field.Set("P", Object::Reference(lastPage));
    field.Set("V", Object::Reference(signature));
    Object ap = Object::Dictionary();
    ap.Set("N", Object::Reference(appearance));
    field.Set("AP", ap);
    update.Put(widget, Serialize(field));

    Object page = doc.Load(lastPage);
    std::vector<Object> annots = ArrayOf(doc, page.Get("Annots"));
    annots.push_back(Object::Reference(widget));
    page.Set("Annots", Object::Array(annots));
    update.Put(lastPage, Serialize(page));

    const Object* rootRef = doc.Trailer().Get("Root");
    if (rootRef->kind != Object::Kind::Ref) throw StudyError("El PDF no se puede leer: /Root.");
    Object catalog = doc.Load(rootRef->number);
    Object acroForm = Object::Dictionary();
    int acroFormNumber = -1;
    if (const Object* existing = catalog.Get("AcroForm")) {
        if (existing->kind == Object::Kind::Ref) acroFormNumber = existing->number;
        acroForm = doc.Resolve(*existing);
    }
    std::vector<Object> fields = ArrayOf(doc, acroForm.Get("Fields"));
    fields.push_back(Object::Reference(widget));
    acroForm.Set("Fields", Object::Array(fields));
    acroForm.Set("SigFlags", Object::Integer(3));
    if (acroFormNumber >= 0) {
        update.Put(acroFormNumber, Serialize(acroForm));
    } else {
        catalog.Set("AcroForm", acroForm);
    }
    update.Put(rootRef->number, Serialize(catalog));

    std::string out = update.Write();
    const std::size_t contentsAt = out.rfind(placeholder);
    const std::size_t rangeAt = out.rfind(kByteRangeMark);
    const std::size_t afterContents = contentsAt + placeholder.size();
    char range[64];
    std::snprintf(range, sizeof range, "[0 %-10zu %-10zu %-10zu", contentsAt, afterContents,
                  out.size() - afterContents);
    std::string rangeText = range;
    rangeText.resize(std::string(kByteRangeMark).size() - 1, ' ');
    out.replace(rangeAt, rangeText.size(), rangeText);
    const std::string signedBytes = out.substr(0, contentsAt) + out.substr(afterContents);
    const std::string cms = CmsSign(signedBytes, key);
    if (cms.size() > kSignatureBytes) throw AppError("La firma no cabe en el informe.");
    const std::string hex = Hex(reinterpret_cast<const unsigned char*>(cms.data()), cms.size());
    out.replace(contentsAt + 1, hex.size(), hex);
    return out;
}

PdfCheck CheckPdfSignatures(const std::string& bytes) {
    const pdf::Document doc(bytes);
    PdfCheck result;
    result.size = bytes.size();
    try {
        result.studySha256 = ReportStudySha256(bytes);
    } catch (const AppError&) {
    }
    for (const FoundSignature& found : SignatureFields(doc)) {
        SignatureCheck check;
        const Object& sig = found.dictionary;
        check.meaning = Text(sig, "Reason");
        check.time = ReadableDate(Text(sig, "M"));
        check.login = Text(sig, "VALDEX_Usuario");
        check.host = Text(sig, "VALDEX_Equipo");
        check.studySha256 = Text(sig, "VALDEX_EstudioSHA256");
        check.auditHead = ChainHead::Parse(Text(sig, "VALDEX_CadenaAuditoria"));
        std::vector<long long> range;
        for (const Object& n : ArrayOf(doc, sig.Get("ByteRange")))
            range.push_back(static_cast<long long>(n.AsNumber()));
        const auto size = static_cast<long long>(bytes.size());
        if (range.size() != 4 || range[0] != 0 || range[1] < 2 || range[2] < range[1] ||
            range[3] < 0 || range[2] + range[3] > size) {
            check.problem = "el rango de bytes firmado no es válido";
            result.signatures.push_back(check);
            continue;
        }
        check.coveredEnd = static_cast<std::size_t>(range[2] + range[3]);
        const std::string hex = bytes.substr(static_cast<std::size_t>(range[1]),
                                             static_cast<std::size_t>(range[2] - range[1]));
        std::string der;
        if (hex.size() < 2 || hex.front() != '<' || hex.back() != '>') {
            check.problem = "la firma no está donde indica su rango de bytes";
            result.signatures.push_back(check);
            continue;
        }
        for (std::size_t i = 1; i + 2 < hex.size(); i += 2) {
            if (!std::isxdigit(static_cast<unsigned char>(hex[i])) ||
                !std::isxdigit(static_cast<unsigned char>(hex[i + 1])))
                break;
            der += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        }
        const std::string covered =
            bytes.substr(0, static_cast<std::size_t>(range[1])) +
            bytes.substr(static_cast<std::size_t>(range[2]), static_cast<std::size_t>(range[3]));
        const auto* p = reinterpret_cast<const unsigned char*>(der.data());
        CMS_ContentInfo* cms = d2i_CMS_ContentInfo(nullptr, &p, static_cast<long>(der.size()));
        if (!cms) {
            ERR_clear_error();
            check.problem = "la firma no es un CMS legible";
            result.signatures.push_back(check);
            continue;
        }
        std::unique_ptr<BIO, decltype(&BIO_free)> content(
            BIO_new_mem_buf(covered.data(), static_cast<int>(covered.size())), BIO_free);
        std::unique_ptr<X509_STORE, decltype(&X509_STORE_free)> store(X509_STORE_new(),
                                                                      X509_STORE_free);
        // Integrity of the signed bytes; the certificate is named, not trusted.
        check.valid = CMS_verify(cms, nullptr, store.get(), content.get(), nullptr,
                                 CMS_BINARY | CMS_NO_SIGNER_CERT_VERIFY | CMS_DETACHED) == 1;
        if (!check.valid) check.problem = "los bytes firmados cambiaron (" + OpenSslText() + ")";
        if (STACK_OF(X509)* signers = CMS_get0_signers(cms)) {
            if (sk_X509_num(signers) > 0) {
                check.signer = CertificateName(sk_X509_value(signers, 0));
                check.fingerprint = CertificateFingerprint(sk_X509_value(signers, 0));
            }
            sk_X509_free(signers);
        }
        ERR_clear_error();
        CMS_ContentInfo_free(cms);
        result.signatures.push_back(check);
    }
    std::sort(result.signatures.begin(), result.signatures.end(),
              [](const SignatureCheck& a, const SignatureCheck& b) {
                  return a.coveredEnd < b.coveredEnd;
              });
    result.coversWhole =
        !result.signatures.empty() && result.signatures.back().coveredEnd == bytes.size();
    return result;
}

} // namespace valdex
