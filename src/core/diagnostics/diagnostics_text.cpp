#include "diagnostics/diagnostics_text.h"

#include "calc/format_general.h"
#include "diagnostics/weighting_text.h"

#include <algorithm>

namespace valdex {

namespace {

constexpr const char* kMissing = "—";

// A reason written after a colon starts in lower case, as Spanish writes
// it, unless its first word is a name or a symbol ("Cochran", "DIN", "LD",
// "x_BG"): "No calculado: la falta de ajuste necesita…".
std::string AfterColon(std::string text) {
    static const char* const kNames[] = {"Cochran", "Bartlett", "Mandel", "Grubbs", "Hubaux"};
    const std::string word = text.substr(0, text.find_first_of(" –,:"));
    for (const char* name : kNames)
        if (word == name) return text;
    const auto upper = [](unsigned char c) { return c >= 'A' && c <= 'Z'; };
    if (word.size() > 1 && upper(static_cast<unsigned char>(word[1]))) return text;
    const unsigned char first = static_cast<unsigned char>(text.empty() ? 0 : text[0]);
    if (upper(first)) {
        text[0] = static_cast<char>(first + ('a' - 'A'));
    } else if (first == 0xC3 && text.size() > 1) {
        // Á, É, Í, Ñ, Ó, Ú: the second byte of the lower-case letter is 0x20 more.
        const unsigned char second = static_cast<unsigned char>(text[1]);
        if (second >= 0x80 && second <= 0x9E && second != 0x97)
            text[1] = static_cast<char>(second + 0x20);
    }
    return text;
}

class Writer {
public:
    explicit Writer(char sep) : sep_(sep) {}

    std::string Number(double value, int precision = kPrecision6) const {
        return FormatGeneral(value, precision, sep_);
    }
    std::string Number(const Value& value, int precision = kPrecision6) const {
        return value ? Number(*value, precision) : kMissing;
    }
    // "name = value", or nothing when the value is missing.
    std::string Pair(const std::string& name, const Value& value) const {
        return value ? name + " = " + Number(*value) : "";
    }

    void Line(const std::string& text = "") { lines_.push_back(text); }
    void Heading(const std::string& text) {
        Line();
        Line(text);
    }
    void Note(const std::string& reason) {
        if (!reason.empty()) Line("No calculado: " + AfterColon(reason));
    }
    // Joins the non-empty parts with ", ".
    void Parts(const std::vector<std::string>& parts) {
        std::string text;
        for (const std::string& part : parts)
            if (!part.empty()) text += (text.empty() ? "" : ", ") + part;
        if (!text.empty()) Line(text);
    }
    // Columns padded to the widest cell, two spaces apart.
    void Table(const std::vector<std::vector<std::string>>& rows);

    std::vector<std::string> Take() { return std::move(lines_); }

private:
    char sep_;
    std::vector<std::string> lines_;
};

// Characters, not bytes: the texts are UTF-8.
std::size_t Width(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

void Writer::Table(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows)
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (widths.size() <= c) widths.push_back(0);
            widths[c] = std::max(widths[c], Width(row[c]));
        }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size()) line += std::string(widths[c] - Width(row[c]) + 2, ' ');
        }
        Line(line);
    }
}

std::string Verdict(bool computed, bool significant, const char* yes, const char* no) {
    return computed ? std::string("Veredicto: ") + (significant ? yes : no) : "";
}

void LineSection(const Diagnostics& d, Writer& w) {
    const LineSummary& line = d.line;
    w.Line("DIAGNÓSTICO DE LA CURVA DE CALIBRACIÓN");
    w.Line("N = " + std::to_string(line.N) + " PUNTOS EN " + std::to_string(line.levels) +
           " NIVELES");
    w.Line("RECTA: y = a + b·x");
    if (line.b)
        w.Line("PENDIENTE b = " + w.Number(line.b, kPrecision8) +
               ", ORDENADA AL ORIGEN a = " + w.Number(line.a));
    if (line.s)
        w.Line("s(y/x) = " + w.Number(line.s) + " (" + std::to_string(line.df) +
               " grados de libertad), s_a = " + w.Number(line.sa));
    w.Parts({w.Pair("x̄", line.meanX), w.Pair("ȳ", line.meanY), w.Pair("Q_x", line.qx)});
    w.Note(line.reason);
}

void ResidualSection(const Diagnostics& d, Writer& w) {
    w.Heading("RESIDUOS (e = y − (a + b·x); estandarizado = e / s(y/x))");
    std::vector<std::vector<std::string>> rows = {
        {"Nivel", "Réplica", "x", "y", "Residuo", "Estandarizado"}};
    rows.reserve(d.residuals.size() + 1);
    // x is the same for every replicate of a level: written once per level.
    std::string x;
    int level = 0;
    for (const ResidualRow& r : d.residuals) {
        if (r.level != level) level = r.level, x = w.Number(r.x);
        rows.push_back({std::to_string(r.level), std::to_string(r.replicate), x, w.Number(r.y),
                        w.Number(r.residual), w.Number(r.standardized)});
    }
    w.Table(rows);
    w.Note(d.residualReason);
}

void LevelSection(const Diagnostics& d, Writer& w) {
    w.Heading("NIVELES (x calculado = (media − a)/b; recuperación = 100·x calculado/x; Grubbs "
              "bilateral, α = " +
              w.Number(kTestAlpha) + ")");
    std::vector<std::vector<std::string>> rows = {{"Nivel", "x", "n", "Media", "s", "x calculado",
                                                   "Recuperación %", "G", "G crítico", "Grubbs"}};
    for (std::size_t i = 0; i < d.levels.size(); ++i) {
        const LevelDiagnostics& l = d.levels[i];
        const std::string grubbs =
            !l.grubbsG ? kMissing : (l.outlier ? "posible atípico" : "sin atípico");
        rows.push_back({std::to_string(i + 1), w.Number(l.x), std::to_string(l.n), w.Number(l.mean),
                        w.Number(l.sd), w.Number(l.xCalc), w.Number(l.recovery),
                        w.Number(l.grubbsG), w.Number(l.grubbsCritical), grubbs});
    }
    w.Table(rows);
    for (std::size_t i = 0; i < d.levels.size(); ++i)
        if (!d.levels[i].reason.empty())
            w.Line("Nivel " + std::to_string(i + 1) + ": " + AfterColon(d.levels[i].reason));
    for (std::size_t i = 0; i < d.levels.size(); ++i)
        if (!d.levels[i].note.empty())
            w.Line("Nivel " + std::to_string(i + 1) + ": " + AfterColon(d.levels[i].note));
    int flagged = 0;
    for (const LevelDiagnostics& l : d.levels)
        flagged += l.outlier ? 1 : 0;
    w.Line(flagged == 0 ? "Grubbs no señala valores atípicos."
                        : "Grubbs señala posibles valores atípicos; ninguna respuesta se elimina "
                          "ni cambia los cálculos.");
}

void LackOfFitSection(const Diagnostics& d, Writer& w) {
    const LackOfFitTest& t = d.lackOfFit;
    w.Heading("FALTA DE AJUSTE (ANOVA CON ERROR PURO, α = " + w.Number(kTestAlpha) + ")");
    if (t.ssLof)
        w.Line("SS_LOF = " + w.Number(t.ssLof) + " (gl = " + w.Number(t.dfLof) +
               "), SS_PE = " + w.Number(t.ssPe) + " (gl = " + w.Number(t.dfPe) + ")");
    w.Parts({w.Pair("F", t.F), w.Pair("F crítico", t.fCritical), w.Pair("p", t.p)});
    w.Parts({Verdict(t.F && t.fCritical, t.significant,
                     "falta de ajuste significativa: la recta no describe los niveles.",
                     "sin falta de ajuste significativa.")});
    w.Note(t.reason);
}

void CochranSection(const Diagnostics& d, Writer& w) {
    const CochranTest& t = d.cochran;
    w.Heading("HOMOGENEIDAD DE VARIANZAS: COCHRAN (α = " + w.Number(kTestAlpha) + ")");
    if (t.groups > 0)
        w.Line("k = " + std::to_string(t.groups) + " niveles, n = " + std::to_string(t.replicates) +
               " réplicas, gl = " + std::to_string(t.replicates - 1));
    // Below C = 1/2 the p of the critical value is only a Bonferroni bound:
    // a bound that does not reject says only that p exceeds α.
    std::string p;
    if (t.p && t.pExact)
        p = "p = " + w.Number(t.p);
    else if (t.p && t.significant)
        p = "p ≤ " + w.Number(t.p) + " (cota de Bonferroni, la del valor crítico)";
    else if (t.p)
        p = "p > " + w.Number(kTestAlpha);
    w.Parts({w.Pair("C", t.C), w.Pair("C crítico", t.cCritical), p});
    w.Parts({Verdict(t.C && t.cCritical, t.significant,
                     "la varianza mayor es significativamente distinta de las demás.",
                     "varianzas homogéneas.")});
    w.Note(t.reason);
}

void BartlettSection(const Diagnostics& d, Writer& w) {
    const BartlettTest& t = d.bartlett;
    w.Heading("HOMOGENEIDAD DE VARIANZAS: BARTLETT (α = " + w.Number(kTestAlpha) + ")");
    w.Parts({w.Pair("χ²", t.chi2), w.Pair("gl", t.df), w.Pair("χ² crítico", t.chi2Critical),
             w.Pair("p", t.p)});
    w.Parts({Verdict(t.chi2 && t.chi2Critical, t.significant, "varianzas no homogéneas.",
                     "varianzas homogéneas.")});
    w.Note(t.reason);
}

void MandelSection(const Diagnostics& d, Writer& w) {
    const MandelTest& t = d.mandel;
    w.Heading("LINEALIDAD: PRUEBA DE MANDEL (RECTA CONTRA PARÁBOLA, α = " + w.Number(kMandelAlpha) +
              ")");
    w.Parts({w.Pair("s2", t.s2), w.Pair("DS²", t.ds2), w.Pair("PG", t.PG)});
    if (t.df2)
        w.Parts(
            {"gl = 1 y " + w.Number(t.df2), w.Pair("F crítico", t.fCritical), w.Pair("p", t.p)});
    w.Parts({Verdict(t.PG && t.fCritical, t.significant,
                     "la parábola ajusta significativamente mejor que la recta.",
                     "la parábola no mejora significativamente la recta.")});
    w.Note(t.reason);
    if (t.PG && t.fCritical && !t.significant)
        w.Line("Advertencia: la prueba de Mandel tiene poca potencia en diseños pequeños; que no "
               "rechace la recta no demuestra la linealidad.");
}

void LimitsSection(const Diagnostics& d, Writer& w) {
    const DiagnosticOptions& o = d.options;
    w.Heading("LÍMITES" + (d.units.empty() ? std::string() : " (" + d.units + ")"));
    // A zero s(y/x) leaves every limit not estimable, which the cells say.
    const auto cell = [&](const std::string& reason, const Value& value) {
        return !value && reason == kNotEstimable ? std::string(kNotEstimable) : w.Number(value);
    };
    const std::vector<std::vector<std::string>> rows = {
        {"Método", "Decisión / detección", "Cuantificación"},
        {"ICH, s(y/x)", "LD = " + cell(d.ichSyx.reason, d.ichSyx.LD),
         "LC = " + cell(d.ichSyx.reason, d.ichSyx.LC)},
        {"ICH, s_a", "LD = " + cell(d.ichSa.reason, d.ichSa.LD),
         "LC = " + cell(d.ichSa.reason, d.ichSa.LC)},
        {"DIN 32645",
         "x_NG = " + cell(d.din.reason, d.din.xNG) + ", x_EG = " + cell(d.din.reason, d.din.xEG),
         "x_BG = " + cell(d.din.reason, d.din.xBG)},
        {"Hubaux–Vos",
         "x_C = " + cell(d.hubauxVos.reason, d.hubauxVos.xC) +
             ", x_D = " + cell(d.hubauxVos.reason, d.hubauxVos.xD),
         kMissing},
    };
    w.Table(rows);
    for (const std::string& caveat : d.limitCaveats)
        w.Line(caveat);
    if (d.hubauxVos.yC) w.Line("Hubaux–Vos: nivel de decisión y_C = " + w.Number(d.hubauxVos.yC));
    const std::pair<const char*, const std::string*> reasons[] = {
        {"ICH, s(y/x)", &d.ichSyx.reason},
        {"ICH, s_a", &d.ichSa.reason},
        {"DIN 32645", &d.din.reason},
        {"Hubaux–Vos", &d.hubauxVos.reason}};
    for (const auto& [name, reason] : reasons)
        if (!reason->empty() && *reason != kNotEstimable)
            w.Line(std::string(name) + ": " + AfterColon(*reason));
    if (d.study.LD)
        w.Line("LD y LC del estudio (\"" + d.study.calculationType +
               "\", como en la ventana de "
               "resultados): LD = " +
               w.Number(d.study.LD) + ", LC = " + w.Number(d.study.LC));
    else if (!d.study.reason.empty())
        w.Line("LD y LC del estudio: " + AfterColon(d.study.reason));

    const std::string a = w.Number(o.alpha), b = w.Number(o.beta), m = std::to_string(o.m),
                      k = w.Number(o.k);
    w.Line();
    w.Line("CONVENCIONES");
    w.Line("Parámetros: α = " + a + " y β = " + b + " (unilaterales), m = " + m +
           " (mediciones de cada muestra futura), k = " + k + ".");
    w.Line("ICH: LD = " + w.Number(3.3) +
           "·s/|b| y LC = 10·s/|b|, con s = s(y/x) o s = s_a = s(y/x)·√(1/N + x̄²/Q_x): "
           "cantidades positivas también con pendiente negativa.");
    w.Line("DIN 32645, método de calibración: s_x0 = s(y/x)/|b|; x_NG = s_x0·t(N−2; 1−α)·√(1/m + "
           "1/N + x̄²/Q_x); x_EG = s_x0·(t(N−2; 1−α) + t(N−2; 1−β))·√(1/m + 1/N + x̄²/Q_x), "
           "que es 2·x_NG cuando α = β; x_BG = k·s_x0·t(N−2; 1−α/2)·√(1/m + 1/N + "
           "(x_BG − x̄)²/Q_x), iterado desde k·x_NG.");
    w.Line("Hubaux–Vos: y_C = a + t(N−2; 1−α)·s(y/x)·√(1/m + 1/N + x̄²/Q_x), el límite superior "
           "de predicción en x = 0; x_C = (y_C − a)/b; x_D es donde el límite inferior de "
           "predicción, a + b·x − t(N−2; 1−β)·s(y/x)·√(1/m + 1/N + (x − x̄)²/Q_x), alcanza y_C "
           "(resuelto, no aproximado). Con pendiente negativa se usan las bandas opuestas y las "
           "cantidades salen positivas.");
}

} // namespace

std::vector<std::string> DiagnosticsLines(const Diagnostics& d, char sep) {
    Writer w(sep);
    LineSection(d, w);
    ResidualSection(d, w);
    LevelSection(d, w);
    LackOfFitSection(d, w);
    CochranSection(d, w);
    BartlettSection(d, w);
    MandelSection(d, w);
    LimitsSection(d, w);
    std::vector<std::string> lines = w.Take();
    for (std::string& line : WeightingLines(d, sep))
        lines.push_back(std::move(line));
    return lines;
}

std::vector<std::string> SampleLines(const SampleReading& r, char sep) {
    Writer w(sep);
    const std::string units = r.units.empty() ? "" : " " + r.units;
    w.Line("LECTURA DE LA MUESTRA EN LA CURVA DE CALIBRACIÓN");
    w.Line("Respuestas: m = " + std::to_string(r.m) +
           (r.mean ? ", media ȳ₀ = " + w.Number(r.mean) : std::string()));
    if (r.x) w.Line("x = " + w.Number(r.x) + units);
    if (r.halfWidth)
        w.Line("Intervalo al " + w.Number(100 * (1 - r.alpha)) +
               " % (bilateral): " + w.Number(r.lower) + " a " + w.Number(r.upper) + units + " (± " +
               w.Number(r.halfWidth) + ")");
    if (!r.verdict.empty())
        w.Line("Veredicto: " + SampleVerdict(r, sep) + " (LD = " + w.Number(r.limits.LD) +
               ", LC = " + w.Number(r.limits.LC) + units + ", \"" + r.limits.calculationType +
               "\")");
    else if (r.extrapolated)
        w.Line("Veredicto: " + SampleVerdict(r, sep));
    w.Note(r.reason);
    w.Line("x = (ȳ₀ − a)/b; semiamplitud = t(N−2; 1−α/2)·(s(y/x)/|b|)·√(1/m + 1/N + (ȳ₀ − "
           "ȳ)²/(b²·Q_x)); el veredicto compara x con |LD| y |LC|.");
    return w.Take();
}

} // namespace valdex
