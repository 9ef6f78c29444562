// Signing a PDF written here object by object (no Qt), timed in the
// process, and read back by poppler's pdfsig and by the program's own check.

#include "files/file_identity.h"
#include "records/pdf_signature.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <unistd.h>

namespace valdex {
namespace {

namespace fs = std::filesystem;

// One A4 page and the XMP metadata that names the study, with its table.
std::string SmallReport(const std::string& studySha) {
    const std::string xmp = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><valdex:EstudioSHA256>" +
                            studySha + "</valdex:EstudioSHA256></x:xmpmeta>";
    const std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R /Metadata 4 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 /MediaBox [0 0 595.28 841.89] >>",
        "<< /Type /Page /Parent 2 0 R >>",
        "<< /Type /Metadata /Subtype /XML /Length " + std::to_string(xmp.size()) + " >>\nstream\n" +
            xmp + "\nendstream",
    };
    std::string pdf = "%PDF-1.7\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 5\n0000000000 65535 f\r\n";
    for (std::size_t offset : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n\r\n", offset);
        pdf += line;
    }
    return pdf + "trailer\n<< /Size 5 /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) +
           "\n%%EOF\n";
}

TEST(PdfSignatureTest, SignsInUnderAFifthOfASecondAndPopplerAgrees) {
    const fs::path folder =
        fs::temp_directory_path() / ("valdex-firma-" + std::to_string(getpid()));
    fs::remove_all(folder);
    const std::string keyPath = (folder / "clave.p12").string();
    AuditIdentity identity{"ana", "Ana Pérez Núñez", "laboratorio", "3.1.0"};
    CreateSigningKey(keyPath, "frase de paso", identity);
    const std::string study = Sha256Hex("estudio");
    const std::string pdf = SmallReport(study);
    ASSERT_EQ(ReportStudySha256(pdf).value_or(""), study);

    SignRequest request;
    request.meaning = SignatureMeaning::Aprobo;
    request.signerName = identity.fullName;
    request.login = identity.login;
    request.host = identity.host;
    request.studySha256 = study;
    request.auditHead = {7, Sha256Hex("cabeza")};
    request.time = 1'800'000'000;
    const auto start = std::chrono::steady_clock::now();
    const SigningKey key = LoadSigningKey(keyPath, "frase de paso");
    const std::string signedPdf = SignPdf(pdf, key, request);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "Firmar (clave leída y firma): " << seconds << " s\n";
    EXPECT_LT(seconds, 0.2);
    EXPECT_EQ(signedPdf.compare(0, pdf.size(), pdf), 0); // an incremental update

    const PdfCheck check = CheckPdfSignatures(signedPdf);
    ASSERT_EQ(check.signatures.size(), 1u);
    const SignatureCheck& s = check.signatures[0];
    EXPECT_TRUE(s.valid) << s.problem;
    EXPECT_TRUE(check.coversWhole);
    EXPECT_EQ(s.signer, "Ana Pérez Núñez");
    EXPECT_EQ(s.meaning, "Aprobó");
    EXPECT_EQ(s.time, "2027-01-15 08:00:00 UTC");
    EXPECT_EQ(s.studySha256, study);
    ASSERT_TRUE(s.auditHead.has_value());
    EXPECT_EQ(s.auditHead->Text(), request.auditHead.Text());

    const std::string file = (folder / "informe.pdf").string();
    std::ofstream(file, std::ios::binary) << signedPdf;
    std::string out;
    if (FILE* pipe = popen(("pdfsig '" + file + "' 2>&1").c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
            out.append(buffer, n);
        pclose(pipe);
    }
    EXPECT_NE(out.find("Signature is Valid"), std::string::npos) << out;
    EXPECT_NE(out.find("Total document signed"), std::string::npos) << out;
    EXPECT_NE(out.find("Ana Pérez Núñez"), std::string::npos) << out;
    fs::remove_all(folder);
}

} // namespace
} // namespace valdex
