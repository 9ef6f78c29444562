#include "plots/diagnostics_summary.h"

#include "calc/format_general.h"
#include "plots/diagnostics_plots.h"
#include "plots/plot_data.h"

#include <cmath>

namespace valdex {

namespace {

class Summary {
public:
    explicit Summary(char sep) : sep_(sep) {}

    std::string Number(double value, int precision = kPrecision6) const {
        return FormatProse(value, precision, sep_, true);
    }
    // "name = value", or nothing when the value is missing.
    std::string Pair(const std::string& name, const Value& value) const {
        return value ? name + " = " + Number(*value) : "";
    }
    // The non-empty parts joined by ", ".
    static std::string Join(const std::vector<std::string>& parts, const char* glue = ", ") {
        std::string text;
        for (const std::string& part : parts)
            if (!part.empty()) text += (text.empty() ? "" : glue) + part;
        return text;
    }
    // "Name: statistics: verdict.", or "Name: no calculado: reason".
    void Test(const std::string& name, const std::string& statistics, bool computed,
              const std::string& verdict, const std::string& reason) {
        if (computed)
            lines_.push_back(name + ": " + statistics + ": " + verdict);
        else
            lines_.push_back(name + ": no calculado. " + reason);
    }
    void Line(std::string text) { lines_.push_back(std::move(text)); }
    std::vector<std::string> Take() { return std::move(lines_); }

private:
    char sep_;
    std::vector<std::string> lines_;
};

void LineSentence(const Diagnostics& d, Summary& s, char sep) {
    const LineSummary& line = d.line;
    const std::string points =
        "N = " + std::to_string(line.N) + " en " + std::to_string(line.levels) + " niveles";
    if (!line.a || !line.b) {
        s.Line("Recta: no calculada (" + points + "). " + line.reason);
        return;
    }
    std::string text = "Recta: " + EquationText(*line.a, *line.b, sep);
    if (const std::optional<double> r2 = CoefficientOfDetermination(d))
        text += ", r² = " + s.Number(*r2, kPrecision8);
    if (line.s) text += ", s(y/x) = " + s.Number(*line.s);
    s.Line(text + ", " + points + ".");
}

void ResidualSentence(const Diagnostics& d, Summary& s) {
    if (d.residuals.empty() || !d.residualReason.empty()) {
        s.Line("Residuos estandarizados: no calculados. " + d.residualReason);
        return;
    }
    std::vector<std::string> beyond;
    for (const ResidualRow& row : d.residuals)
        if (row.standardized && std::fabs(*row.standardized) > kResidualLimit)
            beyond.push_back("nivel " + std::to_string(row.level) + ", réplica " +
                             std::to_string(row.replicate));
    if (beyond.empty())
        s.Line("Residuos estandarizados: ninguno fuera de ±2.");
    else
        s.Line("Residuos estandarizados fuera de ±2: " + std::to_string(beyond.size()) + " (" +
               Summary::Join(beyond, "; ") + ").");
}

void TestSentences(const Diagnostics& d, Summary& s) {
    const LackOfFitTest& lof = d.lackOfFit;
    s.Test("Falta de ajuste (α = " + s.Number(kTestAlpha) + ")",
           Summary::Join({s.Pair("F", lof.F),
                          lof.dfLof && lof.dfPe
                              ? "gl = " + s.Number(*lof.dfLof) + " y " + s.Number(*lof.dfPe)
                              : "",
                          s.Pair("F crítico", lof.fCritical), s.Pair("p", lof.p)}),
           lof.F && lof.fCritical,
           lof.significant ? "falta de ajuste significativa."
                           : "sin falta de ajuste significativa.",
           lof.reason);
    const CochranTest& c = d.cochran;
    s.Test("Cochran", Summary::Join({s.Pair("C", c.C), s.Pair("C crítico", c.cCritical)}),
           c.C && c.cCritical,
           c.significant ? "la varianza mayor es significativamente distinta de las demás."
                         : "varianzas homogéneas.",
           c.reason);
    const BartlettTest& b = d.bartlett;
    s.Test("Bartlett",
           Summary::Join({s.Pair("χ²", b.chi2), s.Pair("gl", b.df),
                          s.Pair("χ² crítico", b.chi2Critical), s.Pair("p", b.p)}),
           b.chi2 && b.chi2Critical,
           b.significant ? "varianzas no homogéneas." : "varianzas homogéneas.", b.reason);
    const MandelTest& m = d.mandel;
    s.Test("Mandel (α = " + s.Number(kMandelAlpha) + ")",
           Summary::Join({s.Pair("PG", m.PG), s.Pair("F crítico", m.fCritical), s.Pair("p", m.p)}),
           m.PG && m.fCritical,
           m.significant ? "la parábola ajusta significativamente mejor que la recta."
                         : "la parábola no mejora significativamente la recta.",
           m.reason);
    bool tested = false;
    for (const LevelDiagnostics& level : d.levels)
        tested = tested || level.grubbsG.has_value();
    const std::string flagged = FlaggedResponsesText(GrubbsFlaggedResponses(d));
    if (!tested)
        s.Line("Grubbs: no calculado. Ningún nivel tiene tres réplicas distintas.");
    else if (flagged.empty())
        s.Line("Grubbs (α = " + s.Number(kTestAlpha) + "): sin valores atípicos.");
    else
        s.Line("Grubbs (α = " + s.Number(kTestAlpha) + "): " + flagged +
               "; ninguna respuesta se elimina.");
}

void LimitSentences(const Diagnostics& d, Summary& s) {
    const std::string units = d.units.empty() ? "" : " " + d.units;
    auto value = [&](const Value& v) { return v ? s.Number(*v) + units : std::string("—"); };
    if (d.study.LD && d.study.LC)
        s.Line("LD y LC del estudio (\"" + d.study.calculationType +
               "\"): LD = " + value(d.study.LD) + ", LC = " + value(d.study.LC) + ".");
    else
        s.Line("LD y LC del estudio: " + d.study.reason);
    s.Line("ICH, s(y/x): LD = " + value(d.ichSyx.LD) + ", LC = " + value(d.ichSyx.LC) +
           "; ICH, s_a: LD = " + value(d.ichSa.LD) + ", LC = " + value(d.ichSa.LC) + ".");
    const DiagnosticOptions& o = d.options;
    s.Line("DIN 32645 (α = " + s.Number(o.alpha) + ", β = " + s.Number(o.beta) + ", k = " +
           s.Number(o.k) + "): x_NG = " + value(d.din.xNG) + ", x_EG = " + value(d.din.xEG) +
           ", x_BG = " + value(d.din.xBG) + "; Hubaux–Vos: x_C = " + value(d.hubauxVos.xC) +
           ", x_D = " + value(d.hubauxVos.xD) + ".");
}

} // namespace

// Every significance level the page uses, and m, in one line.
void LevelsSentence(const Diagnostics& d, Summary& s) {
    const DiagnosticOptions& o = d.options;
    s.Line("Significación: bandas " + s.Number(kBandLevel * 100) +
           " %; pruebas α = " + s.Number(kTestAlpha) + "; Mandel α = " + s.Number(kMandelAlpha) +
           "; límites α = " + s.Number(o.alpha) + ", β = " + s.Number(o.beta) +
           "; m = " + std::to_string(o.m) + ".");
}

std::vector<std::string> DiagnosticsSummaryLines(const Diagnostics& d, char sep) {
    Summary s(sep);
    LevelsSentence(d, s);
    LineSentence(d, s, sep);
    ResidualSentence(d, s);
    TestSentences(d, s);
    LimitSentences(d, s);
    for (const std::string& caveat : d.limitCaveats)
        s.Line(caveat);
    return s.Take();
}

} // namespace valdex
