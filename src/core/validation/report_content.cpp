#include "validation/report_content.h"

#include "calc/format_general.h"
#include "report/page_layout.h"
#include "validation/signoff_block.h"

#include <algorithm>
#include <cmath>

#ifndef VALDEX_VERSION
#define VALDEX_VERSION "sin versión"
#endif
#ifndef VALDEX_BUILD
#define VALDEX_BUILD "sin identificar"
#endif

namespace valdex {

namespace {

constexpr const char* kMissing = "—";

class Sections {
public:
    Sections(const ValidationReport& report, const FileIdentity& file,
             const ValidationReportOptions& options, ReportDocument& doc)
        : r_(report), d_(report.data.diagnostics), file_(file), o_(options), doc_(doc),
          sep_(options.decimalSeparator) {}

    void All() {
        Identification();
        Data();
        Regression();
        Linearity();
        Variances();
        Limits();
        EvaluationSection();
        doc_.signOffHeading = "8. Firmas";
    }

private:
    std::string N(double v, int precision = kPrecision6) const {
        return FormatProse(v, precision, sep_);
    }
    std::string N(const Value& v, int precision = kPrecision6) const {
        return v ? N(*v, precision) : kMissing;
    }
    // A test's verdict at its own significance, or why it was not computed.
    static std::string TestVerdict(const Value& p, bool significant, const std::string& reason) {
        if (!p) return "No calculado: " + (reason.empty() ? std::string("sin datos") : reason);
        return significant ? "Significativa" : "No significativa";
    }
    std::string Units() const { return r_.data.study.AddedQuantityUnits; }
    bool Weighted() const { return d_.options.weighting != WeightScheme::None; }
    // The χ² intervals of an ICH-form LD and LC.
    std::string Intervals(const IchIntervals& i) const {
        if (!i.LD.lower || !i.LD.upper || !i.LC.lower || !i.LC.upper) return i.reason;
        return "IC 95 % (χ², ν = " + std::to_string(i.df) + "): LD de " + N(i.LD.lower) + " a " +
               N(i.LD.upper) + ", LC de " + N(i.LC.lower) + " a " + N(i.LC.upper);
    }
    static std::string Joined(const std::string& first, const std::string& second) {
        if (first.empty() || second.empty()) return first + second;
        return first + "; " + second;
    }
    void Pairs(std::vector<std::vector<std::string>> rows) {
        doc_.Table({"Dato", "Valor"}, {0.32, 0.68}, std::move(rows));
    }

    void Identification() {
        const CalibrationStudy& s = r_.data.study;
        const DiagnosticOptions& opt = d_.options;
        doc_.Heading("1. Identificación");
        Pairs({
            {"Laboratorio", o_.laboratory},
            {"Método", s.MethodName},
            {"Analista", s.AnalystName},
            {"Fecha del estudio", s.StudyDate},
            {"Propiedad medida", s.MeasuredProperty},
            {"Unidades de la cantidad adicionada", s.AddedQuantityUnits},
            {"Tipo de cálculo", s.CalculationType},
            {"Archivo del estudio", file_.name},
            {"Ruta completa", file_.fullPath},
            {"Tamaño", std::to_string(file_.size) + " bytes"},
            {"Modificado", file_.modified},
            {"SHA-256 del archivo", file_.sha256},
            {"Programa", ProgramVersionText() + ", versión " + VALDEX_VERSION},
            {"Compilación", ProgramBuildText()},
            {"Fecha y hora del informe", o_.reportTime},
            {"α (límite de decisión)", N(opt.alpha)},
            {"β (límite de detección)", N(opt.beta)},
            {"m (mediciones de una muestra)", std::to_string(opt.m)},
            {"k (factor de cuantificación, DIN 32645)", N(opt.k)},
            {"Ponderación", r_.data.weighting},
            {"Significación de las pruebas",
             "falta de ajuste, Cochran, Bartlett y Grubbs: " + N(kTestAlpha) +
                 "; Mandel: " + N(kMandelAlpha) + "; intervalos de confianza: 95 %"},
            {"Conjunto de criterios",
             o_.criteria.name + " (" + o_.criteria.source + "), SHA-256 " + o_.criteria.sha256},
        });
    }

    void Data() {
        doc_.Heading("2. Datos");
        std::vector<std::vector<std::string>> levels;
        for (std::size_t i = 0; i < d_.levels.size(); ++i) {
            const LevelDiagnostics& l = d_.levels[i];
            std::string cv = kMissing;
            if (l.sd && l.mean && *l.mean != 0) cv = N(100 * *l.sd / std::fabs(*l.mean));
            levels.push_back(
                {std::to_string(i + 1), N(l.x), std::to_string(l.n), N(l.mean), N(l.sd), cv});
        }
        doc_.Table({"Nivel", "x (" + Units() + ")", "Réplicas", "Media", "s", "CV %"},
                   {0.1, 0.2, 0.14, 0.2, 0.18, 0.18}, levels);
        std::vector<std::vector<std::string>> standards;
        for (const StandardRow& row : r_.data.standards)
            standards.push_back({std::to_string(row.level), std::to_string(row.replicate), N(row.x),
                                 N(row.y), N(row.xCalc), N(row.recovery)});
        doc_.Table({"Nivel", "Réplica", "x", "Respuesta", "x calculada", "Recuperación %"},
                   {0.1, 0.12, 0.18, 0.2, 0.2, 0.2}, standards);
        doc_.Paragraph("x calculada = (y − a)/b con la recta sin ponderar; recuperación = 100·x "
                       "calculada/x (los blancos, x = 0, no tienen recuperación).");
    }

    void Regression() {
        doc_.Heading("3. Regresión");
        const std::optional<CalibrationResult>& c = r_.data.result;
        if (!c) {
            doc_.Paragraph("Los resultados de la curva no se pudieron calcular: " +
                           r_.data.resultReason);
        } else {
            const std::string type = r_.data.study.CalculationType;
            std::vector<std::vector<std::string>> rows = {
                {"Pendiente (b)", N(c->Slope, kPrecision8)},
                {"Intervalo de confianza de b (95 %)", "[" + N(c->SlopeCILower, kPrecision8) +
                                                           "; " + N(c->SlopeCIUpper, kPrecision8) +
                                                           "]"},
                {"Ordenada al origen (a)", N(c->Intercept)},
                {"Intervalo de confianza de a (95 %)",
                 "[" + N(c->InterceptCILower) + "; " + N(c->InterceptCIUpper) + "]"},
                {"Desviación estándar de regresión s(y/x)", N(c->RegressionSD)},
                {"Coeficiente de variación %", N(c->CV)},
                {"Coeficiente de determinación r²", N(c->R2, kPrecision8)},
                {"Desviación estándar de la ordenada s_a", N(c->InterceptSD)},
            };
            if (IsKnownCalculationType(type)) {
                rows.push_back({"LD «" + type + "»", N(c->LD) + " " + Units()});
                rows.push_back({"LC «" + type + "»", N(c->LC) + " " + Units()});
            } else {
                rows.push_back({"LD y LC", "sin tipo de cálculo conocido"});
            }
            Pairs(rows);
        }
        Pairs({
            {"s_x0 = s(y/x)/|b| (DIN 38402-51)", N(r_.data.sx0) + " " + Units()},
            {"V_x0 = 100·s_x0/x̄ %", N(r_.data.vx0)},
            {"Suma de cuadrados residual", N(r_.data.ssRes)},
        });
        WeightedRegression();
    }

    // The weighted line beside the unweighted one, when a weight is chosen.
    void WeightedRegression() {
        if (!Weighted()) {
            Pairs({{"Recta ponderada", "no se eligió ponderación"}});
            return;
        }
        const WeightedLine& l = d_.weighted;
        const std::string title = "Recta ponderada (peso " + r_.data.weighting + ")";
        if (!l.a) {
            Pairs({{title, "No calculada: " + l.reason}});
            return;
        }
        std::vector<std::vector<std::string>> rows = {
            {title, "ajuste por mínimos cuadrados ponderados"},
            {"Pendiente ponderada (b)", N(l.b, kPrecision8)},
            {"Intervalo de confianza de b (95 %)",
             "[" + N(l.bLower, kPrecision8) + "; " + N(l.bUpper, kPrecision8) + "]"},
            {"Ordenada al origen ponderada (a)", N(l.a)},
            {"Intervalo de confianza de a (95 %)", "[" + N(l.aLower) + "; " + N(l.aUpper) + "]"},
            {"s_w (" + std::to_string(l.df) + " grados de libertad)", N(l.sw)},
            {"r² ponderado", N(l.r2, kPrecision8)},
            {"Σ|%RE| de los estándares", N(l.sumAbsRE)},
        };
        if (l.c0)
            rows.push_back(
                {"Función de varianza s(x) = c₀ + c₁·x", "c₀ = " + N(l.c0) + ", c₁ = " + N(l.c1)});
        if (!l.reason.empty()) rows.push_back({"Observación", l.reason});
        Pairs(rows);
    }

    void Linearity() {
        doc_.Heading("4. Linealidad");
        const LackOfFitTest& lof = d_.lackOfFit;
        const MandelTest& m = d_.mandel;
        doc_.Table({"Prueba", "Estadístico", "Valor crítico", "p", "Resultado"},
                   {0.28, 0.16, 0.16, 0.14, 0.26},
                   {{"Falta de ajuste (α = " + N(kTestAlpha) + ")", "F = " + N(lof.F),
                     N(lof.fCritical), N(lof.p), TestVerdict(lof.p, lof.significant, lof.reason)},
                    {"Mandel (α = " + N(kMandelAlpha) + ")", "PG = " + N(m.PG), N(m.fCritical),
                     N(m.p), TestVerdict(m.p, m.significant, m.reason)}});
        std::vector<std::vector<std::string>> rows;
        for (const ResidualRow& row : d_.residuals)
            rows.push_back({std::to_string(row.level), std::to_string(row.replicate), N(row.x),
                            N(row.y), N(row.residual), N(row.standardized)});
        doc_.Table({"Nivel", "Réplica", "x", "y", "Residuo", "Residuo estandarizado"},
                   {0.1, 0.12, 0.18, 0.18, 0.2, 0.22}, rows);
        if (!d_.residualReason.empty()) doc_.Paragraph("Residuos: " + d_.residualReason);
        doc_.Plot(ReportBlock::Kind::ResidualPlot);
        doc_.Plot(ReportBlock::Kind::CalibrationPlot);
    }

    void Variances() {
        doc_.Heading("5. Varianzas y normalidad");
        const CochranTest& c = d_.cochran;
        const BartlettTest& b = d_.bartlett;
        const EndLevelsFTest& f = d_.endLevelsF;
        const ShapiroWilkTest& w = d_.shapiroWilk;
        doc_.Table({"Prueba", "Estadístico", "Valor crítico", "p", "Resultado"},
                   {0.28, 0.16, 0.16, 0.14, 0.26},
                   {{"Cochran (α = " + N(kTestAlpha) + ")", "C = " + N(c.C), N(c.cCritical), N(c.p),
                     TestVerdict(c.p, c.significant, c.reason)},
                    {"Bartlett (α = " + N(kTestAlpha) + ")", "χ² = " + N(b.chi2), N(b.chi2Critical),
                     N(b.p), TestVerdict(b.p, b.significant, b.reason)},
                    {"F de los niveles extremos, ISO 8466-1 (α = " + N(f.alpha) + ")",
                     f.F ? "F = " + N(f.F) + " (gl " + std::to_string(f.dfNumerator) + " y " +
                               std::to_string(f.dfDenominator) + ")"
                         : kMissing,
                     N(f.fCritical), N(f.p),
                     TestVerdict(f.F && f.fCritical ? f.p : Value(), f.significant, f.reason)},
                    {"Shapiro–Wilk de los residuos (α = " + N(w.alpha) + ")",
                     w.W ? "W = " + N(w.W) + " (n = " + std::to_string(w.n) + ")" : kMissing,
                     kMissing, N(w.p), TestVerdict(w.W ? w.p : Value(), w.significant, w.reason)}});
        doc_.Paragraph("F = s²(mayor)/s²(menor) de los niveles de x más baja y más alta; W y p de "
                       "Shapiro–Wilk por el algoritmo de Royston (1995).");
        doc_.Plot(ReportBlock::Kind::SpreadPlots);
        Recommendation();
    }

    // The recommendation with its grounds, and the candidates from the
    // preferred one; the refused ones after them with their reasons.
    void Recommendation() {
        const WeightRecommendation& rec = d_.weightRecommendation;
        doc_.Paragraph("Ponderación: " + rec.text);
        std::vector<std::vector<std::string>> rows;
        const auto candidate = [&](WeightScheme scheme) -> const WeightCandidate* {
            for (const WeightCandidate& c : d_.weightCandidates)
                if (c.scheme == scheme) return &c;
            return nullptr;
        };
        for (WeightScheme scheme : rec.ranked)
            if (const WeightCandidate* c = candidate(scheme))
                rows.push_back({std::to_string(rows.size() + 1), WeightName(scheme), N(c->sumAbsRE),
                                c->reason});
        for (const WeightCandidate& c : d_.weightCandidates)
            if (std::find(rec.ranked.begin(), rec.ranked.end(), c.scheme) == rec.ranked.end())
                rows.push_back({kMissing, WeightName(c.scheme), N(c.sumAbsRE),
                                c.reason.empty() ? std::string() : "No calculado: " + c.reason});
        if (!rows.empty())
            doc_.Table({"Orden", "Peso", "Σ|%RE|", "Observaciones"}, {0.1, 0.16, 0.18, 0.56}, rows);
        doc_.Paragraph("Peso usado: " + r_.data.weighting + ".");
    }

    void Limits() {
        doc_.Heading("6. Límites de detección y cuantificación");
        const DiagnosticOptions& o = d_.options;
        const std::string u = Units().empty() ? "" : " " + Units();
        const auto limit = [&](const Value& v) { return v ? N(*v) + u : std::string(kMissing); };
        const auto note = [](const std::string& reason) {
            return reason.empty() ? std::string() : "No calculado: " + reason;
        };
        const std::string ab =
            "α = " + N(o.alpha) + ", β = " + N(o.beta) + ", m = " + std::to_string(o.m);
        std::vector<std::vector<std::string>> rows = {
            {"ICH con s(y/x)", "LD = " + N(3.3) + "·s(y/x)/b; LC = 10·s(y/x)/b",
             limit(d_.ichSyx.LD), limit(d_.ichSyx.LC), note(d_.ichSyx.reason)},
            {"ICH con s_a", "LD = " + N(3.3) + "·s_a/b; LC = 10·s_a/b", limit(d_.ichSa.LD),
             limit(d_.ichSa.LC), note(d_.ichSa.reason)},
            {"DIN 32645, método de la calibración", ab + ", k = " + N(o.k), limit(d_.din.xEG),
             limit(d_.din.xBG),
             d_.din.reason.empty() ? "límite de decisión x_NG = " + limit(d_.din.xNG)
                                   : note(d_.din.reason)},
            {"Hubaux–Vos", ab, limit(d_.hubauxVos.xD), kMissing,
             d_.hubauxVos.reason.empty() ? "x_C = " + limit(d_.hubauxVos.xC)
                                         : note(d_.hubauxVos.reason)},
            {"Estudio («" + d_.study.calculationType + "»)", "como la ventana de resultados",
             limit(d_.study.LD), limit(d_.study.LC), note(d_.study.reason)},
        };
        rows[0][4] = Joined(rows[0][4], Intervals(d_.ichSyxIntervals));
        rows[1][4] = Joined(rows[1][4], Intervals(d_.ichSaIntervals));
        const BlankMethod& bl = d_.blank;
        if (bl.n > 0 || !o.blanks.empty()) {
            const std::string source = "n_L = " + std::to_string(bl.n) +
                                       (bl.fromStudy ? " (nivel x = 0)" : " (blancos dados)") +
                                       ", s_L = " + N(bl.sd);
            rows.push_back({"DIN 32645, método del blanco", ab + ", k = " + N(o.k) + "; " + source,
                            limit(bl.xEG), limit(bl.xBG),
                            bl.xNG ? "x_NG = " + limit(bl.xNG) : note(bl.reason)});
            rows.push_back({"ICH con s del blanco", "LD = " + N(3.3) + "·s_L/|b|; LC = 10·s_L/|b|",
                            limit(bl.LD), limit(bl.LC),
                            bl.LD ? Intervals(bl.intervals) : note(bl.reason)});
        }
        if (Weighted()) {
            const WeightedLine& l = d_.weighted;
            const std::string why = note(l.a ? l.limitsReason : l.reason);
            const std::string w = "peso " + r_.data.weighting;
            rows.push_back({"Recta ponderada, ICH con σ₀",
                            w + "; LD = " + N(3.3) + "·σ₀/|b|; LC = 10·σ₀/|b|, σ₀ = s_w/√w(0)",
                            limit(l.LD), limit(l.LC),
                            l.LD ? "σ₀ = " + N(l.sigma0) + "; " + Intervals(l.ichIntervals) : why});
            rows.push_back({"Recta ponderada, DIN 32645", w + "; " + ab + ", k = " + N(o.k),
                            limit(l.xEG), limit(l.xBG), l.xNG ? "x_NG = " + limit(l.xNG) : why});
            rows.push_back({"Recta ponderada, Hubaux–Vos", w + "; " + ab, limit(l.xD), kMissing,
                            l.xC ? "x_C = " + limit(l.xC) : why});
        }
        doc_.Table({"Enfoque", "Parámetros", "LD", "LC", "Observaciones"},
                   {0.22, 0.26, 0.14, 0.14, 0.24}, rows);
        for (const std::string& caveat : d_.limitCaveats)
            doc_.Paragraph(caveat);
    }

    void EvaluationSection() {
        doc_.Heading("7. Evaluación");
        doc_.Paragraph("Criterios: " + o_.criteria.name + " (" + o_.criteria.source +
                       "), SHA-256 " + o_.criteria.sha256 + ".");
        std::vector<std::vector<std::string>> rows;
        for (const CriterionResult& row : r_.evaluation.rows)
            rows.push_back({row.title,
                            (row.informative ? "Informativo, no decide la conclusión: " : "") +
                                row.requirement,
                            row.measured, VerdictText(row)});
        doc_.Table({"Criterio", "Requisito", "Valor medido", "Veredicto"}, {0.18, 0.34, 0.28, 0.2},
                   rows);
        doc_.Paragraph(r_.evaluation.conclusion);
    }

    const ValidationReport& r_;
    const Diagnostics& d_;
    const FileIdentity& file_;
    const ValidationReportOptions& o_;
    ReportDocument& doc_;
    char sep_;
};

// The length of the valid UTF-8 sequence at `at`, or 0.
std::size_t Utf8Length(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const std::size_t length = lead < 0x80                   ? 1
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    return length;
}

// XML text: the markup characters escaped, control characters as blanks and
// bytes that are not UTF-8 (a file name may hold any) as U+FFFD.
std::string XmlEscaped(const std::string& raw) {
    std::string text;
    for (std::size_t i = 0; i < raw.size();) {
        const std::size_t length = Utf8Length(raw, i);
        if (length == 0) {
            text += "\xEF\xBF\xBD";
            ++i;
        } else {
            text += raw.substr(i, length);
            i += length;
        }
    }
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            // Control characters are not allowed in XML 1.0.
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
                out += ' ';
            else
                out += c;
        }
    }
    return out;
}

} // namespace

std::string ProgramVersionText() {
    return kReportFooter;
}

std::string ProgramBuildText() {
    return VALDEX_BUILD;
}

ValidationReport MakeValidationReport(const CalibrationStudy& study, const FileIdentity& file,
                                      const ValidationReportOptions& options) {
    ValidationReport report;
    report.data = ComputeValidationData(study, options.diagnostics, options.decimalSeparator);
    report.evaluation = Evaluate(options.criteria, report.data, options.decimalSeparator);
    ReportDocument& doc = report.document;
    doc.frame = {options.laboratory, study.MethodName,   file.name,
                 file.sha256,        options.reportTime, ProgramVersionText()};
    doc.decimalSeparator = options.decimalSeparator;
    doc.plot = MakePlotData(study, report.data.diagnostics);
    Sections(report, file, options, doc).All();
    return report;
}

std::string ValidationReportXmp(const FileIdentity& file, const std::string& reportTime) {
    return "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
           "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
           " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
           "  <rdf:Description rdf:about=\"\"\n"
           "    xmlns:dc=\"http://purl.org/dc/elements/1.1/\"\n"
           "    xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\"\n"
           "    xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\"\n"
           "    xmlns:valdex=\"" +
           std::string(kXmpNamespace) +
           "\">\n"
           "   <dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">" +
           XmlEscaped(kValidationReportTitle) +
           "</rdf:li></rdf:Alt></dc:title>\n"
           "   <xmp:CreateDate>" +
           XmlEscaped(reportTime) +
           "</xmp:CreateDate>\n"
           "   <xmp:CreatorTool>" +
           XmlEscaped(ProgramVersionText()) +
           "</xmp:CreatorTool>\n"
           "   <pdf:Producer>" +
           XmlEscaped(ProgramVersionText()) + "</pdf:Producer>\n   <" + kXmpStudyName + ">" +
           XmlEscaped(file.name) + "</" + kXmpStudyName + ">\n   <" + kXmpStudySha256 + ">" +
           file.sha256 + "</" + kXmpStudySha256 +
           ">\n"
           "  </rdf:Description>\n"
           " </rdf:RDF>\n"
           "</x:xmpmeta>\n"
           "<?xpacket end=\"w\"?>";
}

} // namespace valdex
