#pragma once
// A report to sign, made by the real valdex-cli on Qt's PDF writer (the
// writer of the validation report), with the study's SHA-256 put into its
// XMP metadata as the validation report states it.

#include "files/file_identity.h"
#include "records/pdf_file.h"
#include "run_cli.h"
#include "validation/signoff_block.h"

#include <string>

namespace valdex::testing {

inline const std::string kExampleStudy =
    std::string(VALDEX_SOURCE_DIR) + "/ejemplos/curva-ejemplo.w8c";

// Prints the study's results page to `pdfPath` and states the study in the
// file's XMP metadata (an incremental update, as a second writer would).
inline void MakeReport(const std::string& study, const std::string& pdfPath) {
    const CliRun run = RunValdexCli("imprimir " + Quote(study) +
                                    " --diseno lasser --pagina 2 --pdf " + Quote(pdfPath));
    ASSERT_EQ(run.status, 0) << run.err;
    const pdf::Document doc(ReadText(pdfPath));
    pdf::IncrementalUpdate update(doc);
    const int metadata = update.NewObject();
    const std::string xmp = std::string("<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF "
                                        "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
                                        "<rdf:Description rdf:about=\"\" xmlns:valdex=\"") +
                            kXmpNamespace + "\"><" + kXmpStudyName + ">curva-ejemplo.w8c</" +
                            kXmpStudyName + "><" + kXmpStudySha256 + ">" +
                            Sha256Hex(ReadText(study)) + "</" + kXmpStudySha256 +
                            "></rdf:Description></rdf:RDF></x:xmpmeta>";
    update.Put(metadata, "<< /Type /Metadata /Subtype /XML /Length " + std::to_string(xmp.size()) +
                             " >>\nstream\n" + xmp + "\nendstream");
    const pdf::Object* root = doc.Trailer().Get("Root");
    pdf::Object catalog = doc.Load(root->number);
    catalog.Set("Metadata", pdf::Object::Reference(metadata));
    update.Put(root->number, pdf::Serialize(catalog));
    WriteText(pdfPath, update.Write());
}

} // namespace valdex::testing
