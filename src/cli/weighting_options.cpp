#include "weighting_options.h"

#include "base/number_conversion.h"
#include "cli_messages.h"
#include "diagnostics/weighting.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace valdex::cli {

namespace {

constexpr std::uintmax_t kMaxBlankFile = 16u << 20;

bool Positive(const std::string& text, char sep, double& value) {
    if (!IsDecimal(text, sep)) return false;
    value = static_cast<double>(ToDecimal(text, sep));
    return std::isfinite(value) && value > 0;
}

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

std::string ApplyWeightOption(const std::string& option, const std::string& value, char sep,
                              DiagnosticOptions& o, bool& weightGiven) {
    if (option == "--blancos") {
        o.blanks.clear();
        const std::string problem = ReadBlanks(value, sep, o.blanks);
        return problem.empty() ? problem : FileMessage(value, problem);
    }
    if (weightGiven) return "--ponderacion y --pesos se dan una sola vez y no juntas.";
    weightGiven = true;
    if (option == "--pesos") {
        o.weighting = WeightScheme::Explicit;
        return ParseWeights(value, sep, o.levelWeights);
    }
    const std::optional<WeightScheme> scheme = ParseWeightName(value);
    if (!scheme) return "Ponderación desconocida: " + value;
    o.weighting = *scheme;
    return "";
}

std::string ParseWeights(const std::string& text, char sep, std::vector<double>& out) {
    const char list = sep == ',' ? ';' : ',';
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(list, start);
        const std::string item = Trim(text.substr(start, end - start));
        double value = 0;
        if (!Positive(item, sep, value))
            return "El peso «" + item + "» de --pesos no es un número finito y positivo.";
        out.push_back(value);
        if (end == std::string::npos) return "";
        start = end + 1;
    }
}

std::string ReadBlanks(const std::string& file, char sep, std::vector<double>& out) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (error || !std::filesystem::exists(status)) return "File not found.";
    if (!std::filesystem::is_regular_file(status)) return "No es un archivo regular.";
    if (std::filesystem::file_size(file, error) > kMaxBlankFile || error)
        return "El archivo de blancos excede 16 MiB.";
    std::ifstream in(file, std::ios::binary);
    if (!in) return "File access denied.";
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string text = Trim(line);
        if (text.empty()) continue;
        if (!IsDecimal(text, sep))
            return "línea " + std::to_string(number) +
                   ": la respuesta del blanco no es un número: " + text;
        const double value = static_cast<double>(ToDecimal(text, sep));
        if (!std::isfinite(value))
            return "línea " + std::to_string(number) + ": la respuesta del blanco no es finita.";
        out.push_back(value);
    }
    if (out.empty()) return "El archivo no tiene respuestas de blancos.";
    return "";
}

} // namespace valdex::cli
