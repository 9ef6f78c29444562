#include "cli_messages.h"

#include "base/app_error.h"
#include "files/study_file.h"

#include <new>
#include <ostream>

namespace valdex::cli {

std::string FileMessage(const std::string& file, const std::string& text) {
    return "valdex-cli: " + file + ": " + text;
}

std::string OutputMessage(const std::string& file, const std::string& text) {
    return FileMessage(file + " (salida)", text);
}

std::string FailureText(const std::exception& error) {
    if (dynamic_cast<const AppError*>(&error) != nullptr) return ErrorBoxText(error.what());
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr)
        return "No hay memoria suficiente para el estudio.";
    return ErrorBoxText(std::string("Error inesperado: ") + error.what());
}

CalibrationStudy LoadStudy(const std::string& file, std::ostream& err,
                           std::vector<FileRead>* reads) {
    CalibrationStudy study = ReadStudyFile(file, reads);
    if (const auto text = MisreadUtf8Text(study))
        err << FileMessage(file, "aviso: el texto \"" + QuotedText(*text) +
                                     "\" parece UTF-8 leído como Windows-1252; los archivos de "
                                     "estudio se guardan en Windows-1252.")
            << '\n';
    return study;
}

bool OutputWritten(std::ostream& out, std::ostream& err) {
    out.flush();
    if (out) return true;
    err << "valdex-cli: no se pudo escribir la salida estándar.\n";
    err.flush();
    return false;
}

} // namespace valdex::cli
