#include "cli_messages.h"

#include "base/app_error.h"
#include "files/file_io.h"
#include "files/study_file.h"

#include <new>
#include <ostream>

#include <sys/stat.h>

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

bool OutputIsTheStudy(const std::string& study, const std::string& output, std::ostream& err) {
    struct stat first {};
    struct stat second {};
    if (::stat(study.c_str(), &first) != 0 || ::stat(output.c_str(), &second) != 0 ||
        first.st_dev != second.st_dev || first.st_ino != second.st_ino)
        return false;
    err << OutputMessage(output, "Es el archivo de estudio " + study + "; no se reemplaza.")
        << '\n';
    return true;
}

bool WriteOutput(const std::string& output, std::string_view bytes, std::ostream& err) {
    try {
        ReplaceFileContent(output, bytes);
        return true;
    } catch (const std::exception& error) {
        err << OutputMessage(output, FailureText(error)) << '\n';
        return false;
    }
}

} // namespace valdex::cli
