// valdex-cli firmar and verificar on a report made by Qt's PDF writer, with
// poppler's pdfsig as the independent verifier, and the user's own audit
// trail and key in a scratch data folder.

#include "signed_report.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <vector>

namespace valdex::testing {
namespace {

class SignTest : public OwnAuditTrailTest {
protected:
    void SetUp() override {
        OwnAuditTrailTest::SetUp();
        setenv("VALDEX_FRASE_CLAVE", "frase de paso de prueba", 1);
        study_ = scratch_.File("estudio.w8c");
        WriteText(study_, ReadText(kExampleStudy));
        report_ = scratch_.File("informe.pdf");
        MakeReport(study_, report_);
    }
    void TearDown() override {
        OwnAuditTrailTest::TearDown();
        unsetenv("VALDEX_FRASE_CLAVE");
    }
    CliRun Sign(const std::string& meaning) {
        return RunValdexCli("firmar " + Quote(report_) + " --significado " + meaning);
    }
    CliRun Verify() {
        return RunValdexCli("verificar " + Quote(report_) + " --estudio " + Quote(study_));
    }
    std::string Pdfsig() { return Shell("pdfsig " + Quote(report_) + " 2>&1"); }
    static std::string Shell(const std::string& command) {
        std::string out;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buffer[4096];
            while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
                out.append(buffer, n);
            pclose(pipe);
        }
        return out;
    }
    static int Count(const std::string& text, const std::string& part) {
        int n = 0;
        for (std::size_t at = text.find(part); at != std::string::npos;
             at = text.find(part, at + 1))
            ++n;
        return n;
    }
    std::string study_, report_;
};

TEST_F(SignTest, ThreeSignersInTurnAllVerifyAndPdfsigAgrees) {
    const std::vector<std::string> meanings = {"Elaboró", "Revisó", "Aprobó"};
    // The whole process (start, key read with its passphrase, file written)
    // once the key exists, the best of two.
    double fastest = 1e9;
    for (std::size_t i = 0; i < meanings.size(); ++i) {
        const auto start = std::chrono::steady_clock::now();
        const CliRun signing = Sign(meanings[i]);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ASSERT_EQ(signing.status, 0) << signing.err;
        if (i > 0) fastest = std::min(fastest, seconds);
        const std::string pdfsig = Pdfsig();
        EXPECT_EQ(Count(pdfsig, "Signature is Valid"), static_cast<int>(i + 1)) << pdfsig;
        EXPECT_EQ(Count(pdfsig, "Total document signed"), 1) << pdfsig;
        EXPECT_NE(pdfsig.find("ETSI.CAdES.detached"), std::string::npos) << pdfsig;
        const CliRun verify = Verify();
        EXPECT_EQ(verify.status, 0) << verify.out << verify.err;
        EXPECT_EQ(Count(verify.out, ": válida."), static_cast<int>(i + 1)) << verify.out;
    }
    // The signing itself is timed in the core's tests; this is the whole
    // process, which the machine's load moves.
    std::cout << "valdex-cli firmar: " << fastest << " s\n";
    // The stamps are drawn where the sign-off block leaves them.
    const std::string text = Shell("pdftotext -layout " + Quote(report_) + " -");
    for (const std::string& meaning : meanings)
        EXPECT_NE(text.find(meaning + " ("), std::string::npos) << text;
    // The same meaning twice is refused and leaves the file.
    const std::string before = ReadText(report_);
    EXPECT_EQ(Sign("Revisó").status, 1);
    EXPECT_EQ(ReadText(report_), before);
}

// What a verifier must refuse, one case a row: the change made to the signed
// report and what verificar says.
TEST_F(SignTest, ChangesAfterSigningAreFound) {
    struct Case {
        const char* name;
        void (*change)(std::string& pdf, std::string& study);
        const char* said;
        bool pdfsigFails;
    };
    const std::vector<Case> cases = {
        {"un byte del informe", [](std::string& pdf, std::string&) { pdf[pdf.size() / 3] ^= 0x01; },
         "no válida", true},
        {"bytes añadidos", [](std::string& pdf, std::string&) { pdf += "% añadido\n"; },
         "modificado después de la última firma", false},
        {"otro estudio", [](std::string&, std::string& study) { study += "\r\n"; },
         "no es el que indica el informe", false},
    };
    ASSERT_EQ(Sign("Elaboró").status, 0);
    const std::string signedPdf = ReadText(report_);
    const std::string study = ReadText(study_);
    for (const Case& c : cases) {
        std::string pdf = signedPdf, changed = study;
        c.change(pdf, changed);
        WriteText(report_, pdf);
        WriteText(study_, changed);
        const CliRun verify = Verify();
        EXPECT_EQ(verify.status, 1) << c.name;
        EXPECT_NE(verify.out.find(c.said), std::string::npos) << c.name << "\n" << verify.out;
        if (c.pdfsigFails) {
            EXPECT_EQ(Pdfsig().find("Signature is Valid"), std::string::npos) << c.name;
        }
    }
}

// What firmar refuses, one row each: the file given, what the message says;
// the file stays as it was.
TEST_F(SignTest, WhatCannotBeSignedIsRefusedAndLeftAsItWas) {
    struct Case {
        std::string name, bytes, said;
    };
    const std::string plain = ReadText(report_);
    const std::vector<Case> cases = {
        {"no es un PDF", "texto\n", "no empieza por %PDF-"},
        {"cortado", plain.substr(0, plain.size() / 2), "startxref"},
        {"sin estudio en los metadatos",
         "%PDF-1.4\n1 0 obj\n<< /Type /Catalog >>\nendobj\nxref\n0 2\n"
         "0000000000 65535 f\r\n0000000009 00000 n\r\ntrailer\n<< /Size 2 "
         "/Root 1 0 R >>\nstartxref\n45\n%%EOF\n",
         "no indica el SHA-256 de su estudio"},
    };
    for (const Case& c : cases) {
        WriteText(report_, c.bytes);
        const CliRun run = Sign("Elaboró");
        EXPECT_EQ(run.status, 1) << c.name;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << c.name << ": " << run.err;
        EXPECT_EQ(ReadText(report_), c.bytes) << c.name;
        EXPECT_EQ(Verify().status, 1) << c.name;
    }
}

TEST_F(SignTest, AWrongPassphraseSignsNothing) {
    ASSERT_EQ(Sign("Elaboró").status, 0); // makes the key with the right one
    const std::string before = ReadText(report_);
    setenv("VALDEX_FRASE_CLAVE", "otra frase de paso", 1);
    const CliRun run = Sign("Revisó");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("frase de paso incorrecta"), std::string::npos) << run.err;
    EXPECT_EQ(ReadText(report_), before);
}

// Replacing a study that a signed report refers to asks for a reason.
TEST_F(SignTest, ReplacingASignedStudyNeedsAReason) {
    ASSERT_EQ(Sign("Elaboró").status, 0);
    const std::string table = std::string(VALDEX_TEST_DATA_DIR) + "/cadmium_epa1997.csv";
    const std::string import =
        "importar " + Quote(table) + " --salida " + Quote(study_) + " --reemplazar";
    const CliRun refused = RunValdexCli(import);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("--motivo"), std::string::npos) << refused.err;
    EXPECT_EQ(ReadText(study_), ReadText(kExampleStudy));
    const CliRun done = RunValdexCli(import + " --motivo 'Corrección de la réplica 3'");
    EXPECT_EQ(done.status, 0) << done.err;
    const CliRun trail = RunValdexCli("auditoria --estudio " + Quote(study_));
    EXPECT_NE(trail.out.find("Corrección de la réplica 3"), std::string::npos) << trail.out;
}

} // namespace
} // namespace valdex::testing
