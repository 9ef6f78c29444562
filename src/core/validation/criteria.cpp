#include "validation/criteria.h"

#include "base/app_error.h"
#include "base/number_conversion.h"
#include "calc/format_general.h"
#include "files/file_identity.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace valdex {

namespace {

constexpr std::string_view kIchQ2Text =
    "# Linealidad, intervalo y límites de detección y cuantificación\n"
    "nombre = ICH Q2(R2)\n"
    "[tolerancia]\n"
    "general = 15\n"
    "nivel_bajo = 20\n"
    "[r2]\n"
    "minimo = 0.98\n"
    "[pendiente_excluye_cero]\n"
    "[ordenada_incluye_cero]\n"
    "informativo = si\n"
    "[niveles]\n"
    "minimo = 5\n"
    "[falta_de_ajuste]\n"
    "alfa = 0.05\n"
    "[varianzas]\n"
    "alfa = 0.05\n"
    "[recuperacion]\n"
    "[lc_minimo]\n";

constexpr std::string_view kIchM10Text = "# Curva de calibración de un método cromatográfico\n"
                                         "nombre = ICH M10 cromatográfico\n"
                                         "[tolerancia]\n"
                                         "general = 15\n"
                                         "nivel_bajo = 20\n"
                                         "[estandares]\n"
                                         "minimo = 75\n"
                                         "[niveles_aceptados]\n"
                                         "minimo = 6\n"
                                         "[extremos]\n";

constexpr std::size_t kMaxCriteriaBytes = 64 * 1024;

// What a criterion's threshold key is called and which values it takes.
struct ThresholdRule {
    const char* key = nullptr; // nullptr: the criterion has none
    double lowest = 0, highest = 0;
    bool lowestIncluded = false;
    bool whole = false;
    const char* expected = "";
};

ThresholdRule RuleFor(CriterionId id) {
    switch (id) {
    case CriterionId::R2:
        return {"minimo", 0, 1, false, false, "se esperaba un número mayor que 0 y no mayor que 1"};
    case CriterionId::Levels:
        return {"minimo", 2, 10, true, true, "se esperaba un número entero de 2 a 10"};
    case CriterionId::LackOfFit:
    case CriterionId::Variances:
        return {"alfa", 0, 0.5, false, false, "se esperaba un número mayor que 0 y menor que 0.5"};
    case CriterionId::StandardsPassing:
        return {"minimo", 0,     100,
                false,    false, "se esperaba un porcentaje mayor que 0 y no mayor que 100"};
    case CriterionId::LevelsPassing:
        return {"minimo", 1, 10, true, true, "se esperaba un número entero de 1 a 10"};
    default:
        return {};
    }
}

bool InRange(const ThresholdRule& rule, double value) {
    if (rule.whole && value != std::floor(value)) return false;
    if (rule.lowestIncluded ? value < rule.lowest : value <= rule.lowest) return false;
    if (rule.key == std::string_view("alfa")) return value < rule.highest;
    return value <= rule.highest;
}

std::string Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    std::size_t begin = 0, end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

class Reader {
public:
    Reader(const std::string& file) : file_(file) {}

    [[noreturn]] void Fail(const std::string& problem) const {
        throw StudyError(file_ + ", línea " + std::to_string(line_) + ": " + problem + ".");
    }
    [[noreturn]] void FailKey(const std::string& key, const std::string& problem) const {
        Fail("clave «" + QuotedText(key) + "»: " + problem);
    }

    bool Flag(const std::string& key, const std::string& value) const {
        if (value == "si" || value == "sí") return true;
        if (value == "no") return false;
        FailKey(key, "se esperaba «si» o «no», no «" + QuotedText(value) + "»");
    }

    double Number(const std::string& key, const std::string& value) const {
        if (!IsDecimal(value, '.')) FailKey(key, "«" + QuotedText(value) + "» no es un número");
        const long double number = ToDecimal(value, '.');
        if (!std::isfinite(static_cast<double>(number)))
            FailKey(key, "«" + QuotedText(value) + "» no es un número");
        return static_cast<double>(number);
    }

    void SetLine(int line) { line_ = line; }

private:
    std::string file_;
    int line_ = 0;
};

std::optional<CriterionId> CriterionFromKey(std::string_view key) {
    for (CriterionId id : kCriterionIds)
        if (CriterionKey(id) == key) return id;
    return std::nullopt;
}

} // namespace

std::string_view CriterionKey(CriterionId id) {
    switch (id) {
    case CriterionId::R2:
        return "r2";
    case CriterionId::SlopeExcludesZero:
        return "pendiente_excluye_cero";
    case CriterionId::InterceptIncludesZero:
        return "ordenada_incluye_cero";
    case CriterionId::Levels:
        return "niveles";
    case CriterionId::LackOfFit:
        return "falta_de_ajuste";
    case CriterionId::Variances:
        return "varianzas";
    case CriterionId::Recovery:
        return "recuperacion";
    case CriterionId::LcAboveLowest:
        return "lc_minimo";
    case CriterionId::StandardsPassing:
        return "estandares";
    case CriterionId::LevelsPassing:
        return "niveles_aceptados";
    case CriterionId::EndLevels:
        return "extremos";
    }
    return {};
}

std::string CriterionText(const CriteriaSet& set, CriterionId id, char sep) {
    const auto number = [sep](double value) { return FormatProse(value, 6, sep); };
    const Criterion& c = set[id];
    const std::string tolerance = "±" + number(set.tolerance) + " % (±" +
                                  number(set.lowestTolerance) + " % en el nivel más bajo)";
    switch (id) {
    case CriterionId::R2:
        return "r² ≥ " + number(c.threshold);
    case CriterionId::SlopeExcludesZero:
        return "El intervalo de confianza de la pendiente (95 %) excluye el cero";
    case CriterionId::InterceptIncludesZero:
        return "El intervalo de confianza de la ordenada al origen (95 %) incluye el cero";
    case CriterionId::Levels:
        return "Al menos " + number(c.threshold) + " niveles";
    case CriterionId::LackOfFit:
        return "Sin falta de ajuste significativa (α = " + number(c.threshold) + ")";
    case CriterionId::Variances:
        return "Varianzas homogéneas (Cochran, Bartlett y F de los niveles extremos, α = " +
               number(c.threshold) + ") o una ponderación elegida";
    case CriterionId::Recovery:
        return "Recuperación de cada estándar dentro de " + tolerance;
    case CriterionId::LcAboveLowest:
        return "LC no menor que el estándar más bajo";
    case CriterionId::StandardsPassing:
        return "Al menos el " + number(c.threshold) + " % de los estándares dentro de " + tolerance;
    case CriterionId::LevelsPassing:
        return "Al menos " + number(c.threshold) +
               " niveles con un estándar dentro de la tolerancia";
    case CriterionId::EndLevels:
        return "Los niveles más bajo y más alto conservan cada uno un estándar dentro de la "
               "tolerancia";
    }
    return {};
}

std::optional<std::string_view> BuiltInCriteriaText(std::string_view name) {
    if (name == kIchQ2) return kIchQ2Text;
    if (name == kIchM10) return kIchM10Text;
    return std::nullopt;
}

CriteriaSet ParseCriteria(std::string_view text, const std::string& fileName) {
    CriteriaSet set;
    set.sha256 = Sha256Hex(text);
    set.source = fileName;
    Reader reader(fileName);
    std::optional<CriterionId> section;
    bool inTolerance = false, inAnySection = false;
    std::set<std::string> seenSections, seenKeys;
    std::string name;
    std::istringstream lines{std::string(text)};
    std::string raw;
    int number = 0;
    while (std::getline(lines, raw)) {
        reader.SetLine(++number);
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        if (line.front() == '[') {
            if (line.back() != ']') reader.Fail("falta «]» al final de la sección");
            const std::string key = Trim(std::string_view(line).substr(1, line.size() - 2));
            if (!seenSections.insert(key).second)
                reader.Fail("la sección «" + QuotedText(key) + "» está repetida");
            seenKeys.clear();
            inAnySection = true;
            inTolerance = key == "tolerancia";
            section = CriterionFromKey(key);
            if (!inTolerance && !section)
                reader.Fail("sección desconocida «" + QuotedText(key) + "»");
            if (section) set[*section].active = true;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) reader.Fail("se esperaba «clave = valor» o «[sección]»");
        const std::string key = Trim(std::string_view(line).substr(0, equals));
        const std::string value = Trim(std::string_view(line).substr(equals + 1));
        if (!seenKeys.insert(key).second) reader.FailKey(key, "la clave está repetida");
        if (!inAnySection) {
            if (key == "nombre") {
                if (value.empty()) reader.FailKey(key, "el nombre está vacío");
                name = value;
            } else if (key == "base") {
                const std::optional<std::string_view> base = BuiltInCriteriaText(value);
                if (!base || BuiltInCriteriaText(fileName))
                    reader.FailKey(key, "«" + QuotedText(value) +
                                            "» no es un conjunto integrado («ICH Q2(R2)» o "
                                            "«ICH M10 cromatográfico»)");
                const CriteriaSet builtIn = ParseCriteria(*base, value);
                set.criteria = builtIn.criteria;
                set.tolerance = builtIn.tolerance;
                set.lowestTolerance = builtIn.lowestTolerance;
            } else {
                reader.FailKey(key, "clave desconocida (se esperaba «nombre» o «base»)");
            }
        } else if (inTolerance) {
            if (key != "general" && key != "nivel_bajo")
                reader.FailKey(key, "clave desconocida en [tolerancia] (se esperaba «general» o "
                                    "«nivel_bajo»)");
            const double tolerance = reader.Number(key, value);
            if (!(tolerance > 0 && tolerance < 100))
                reader.FailKey(key, "se esperaba un porcentaje mayor que 0 y menor que 100");
            (key == "general" ? set.tolerance : set.lowestTolerance) = tolerance;
        } else {
            Criterion& criterion = set[*section];
            const ThresholdRule rule = RuleFor(*section);
            if (key == "activo") {
                criterion.active = reader.Flag(key, value);
            } else if (key == "informativo") {
                criterion.informative = reader.Flag(key, value);
            } else if (rule.key != nullptr && key == rule.key) {
                const double threshold = reader.Number(key, value);
                if (!InRange(rule, threshold)) reader.FailKey(key, rule.expected);
                criterion.threshold = threshold;
            } else {
                const std::string allowed =
                    rule.key != nullptr
                        ? std::string("«activo», «informativo» o «") + rule.key + "»"
                        : std::string("«activo» o «informativo»");
                reader.FailKey(key, "clave desconocida en [" + std::string(CriterionKey(*section)) +
                                        "] (se esperaba " + allowed + ")");
            }
        }
    }
    // A criterion switched on without its threshold keeps the one of the
    // built-in sets.
    const CriteriaSet* defaults = nullptr;
    CriteriaSet q2, m10;
    if (!BuiltInCriteriaText(fileName)) {
        q2 = ParseCriteria(kIchQ2Text, kIchQ2);
        m10 = ParseCriteria(kIchM10Text, kIchM10);
        for (CriterionId id : kCriterionIds) {
            defaults = q2[id].threshold != 0 ? &q2 : &m10;
            if (set[id].threshold == 0) set[id].threshold = (*defaults)[id].threshold;
        }
    }
    set.name = name.empty() ? fileName : name;
    bool any = false;
    for (const Criterion& criterion : set.criteria)
        any = any || (criterion.active && !criterion.informative);
    if (!any)
        throw StudyError(fileName + ": el archivo de criterios no activa ningún criterio que "
                                    "decida la conclusión.");
    return set;
}

CriteriaSet LoadCriteria(const std::string& nameOrPath) {
    if (const std::optional<std::string_view> text = BuiltInCriteriaText(nameOrPath)) {
        CriteriaSet set = ParseCriteria(*text, nameOrPath);
        set.source = "integrado";
        return set;
    }
    std::error_code error;
    std::ifstream in;
    if (std::filesystem::is_regular_file(nameOrPath, error)) in.open(nameOrPath, std::ios::binary);
    if (!in.is_open()) throw FileError(nameOrPath + ": no se pudo abrir el archivo de criterios.");
    std::string text(kMaxCriteriaBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxCriteriaBytes)
        throw StudyError(nameOrPath + ": el archivo de criterios excede 64 KiB.");
    return ParseCriteria(text, nameOrPath);
}

} // namespace valdex
