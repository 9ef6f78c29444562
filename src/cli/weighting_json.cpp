#include "weighting_json.h"

#include "diagnostics/weighting.h"

namespace valdex::cli {

namespace {

JsonObject Interval(const LimitInterval& i) {
    JsonObject o;
    o.Number("valor", i.value).Number("inferior", i.lower).Number("superior", i.upper);
    return o;
}

JsonObject Intervals(const IchIntervals& i) {
    JsonObject o;
    o.Number("gl", i.df).Object("LD", Interval(i.LD)).Object("LC", Interval(i.LC));
    return o.Reason("motivo", i.reason);
}

JsonObject Normality(const ShapiroWilkTest& s) {
    JsonObject o;
    o.Number("n", s.n).Number("W", s.W).Number("p", s.p).Number("alfa", s.alpha);
    if (s.W && s.p) o.Bool("normalidad_rechazada", s.significant);
    return o.Reason("motivo", s.reason);
}

JsonObject EndLevels(const EndLevelsFTest& f) {
    JsonObject o;
    o.Number("F", f.F)
        .Number("gl_numerador", f.dfNumerator)
        .Number("gl_denominador", f.dfDenominator)
        .Number("F_critico", f.fCritical)
        .Number("p", f.p)
        .Number("alfa", f.alpha);
    if (f.F && f.fCritical) o.Bool("varianzas_no_homogeneas", f.significant);
    return o.Reason("motivo", f.reason);
}

JsonObject Weighted(const WeightedLine& l, const std::vector<ResidualRow>& rows) {
    std::vector<JsonObject> levels, residuals;
    for (const WeightedLevel& v : l.levels) {
        JsonObject o;
        o.Number("x", v.x)
            .Number("peso", v.weight)
            .Number("x_calc", v.xCalc)
            .Number("RE_pct", v.relativeError);
        levels.push_back(o);
    }
    residuals.reserve(l.residuals.size());
    for (std::size_t i = 0; i < l.residuals.size() && i < rows.size(); ++i) {
        JsonObject o;
        o.Number("nivel", rows[i].level)
            .Number("replica", rows[i].replicate)
            .Number("residuo", l.rawResiduals[i])
            .Number("ponderado", l.residuals[i]);
        residuals.push_back(o);
    }
    JsonObject limits;
    limits.Number("sigma0", l.sigma0)
        .Number("LD", l.LD)
        .Number("LC", l.LC)
        .Object("intervalos", Intervals(l.ichIntervals))
        .Number("x_NG", l.xNG)
        .Number("x_EG", l.xEG)
        .Number("x_BG", l.xBG)
        .Number("y_C", l.yC)
        .Number("x_C", l.xC)
        .Number("x_D", l.xD)
        .Reason("motivo", l.limitsReason);
    JsonObject o;
    o.Text("peso", WeightName(l.scheme))
        .Number("N", l.N)
        .Number("a", l.a)
        .Number("a_inferior", l.aLower)
        .Number("a_superior", l.aUpper)
        .Number("b", l.b)
        .Number("b_inferior", l.bLower)
        .Number("b_superior", l.bUpper)
        .Number("s_w", l.sw)
        .Number("s_a", l.sa)
        .Number("s_b", l.sb)
        .Number("r2", l.r2)
        .Number("suma_w", l.sumW)
        .Number("x_media_w", l.meanXw)
        .Number("y_media_w", l.meanYw)
        .Number("Sxx_w", l.sxxw)
        .Number("c0", l.c0)
        .Number("c1", l.c1)
        .Array("niveles", levels)
        .Array("residuos", residuals)
        .Number("suma_abs_RE_pct", l.sumAbsRE)
        .Object("shapiro_wilk", Normality(l.shapiroWilk))
        .Object("limites", limits);
    return o.Reason("motivo", l.reason);
}

JsonObject Blank(const BlankMethod& b) {
    JsonObject o;
    o.Number("n", b.n);
    if (b.n > 0) o.Text("origen", b.fromStudy ? "nivel x = 0" : "blancos");
    o.Number("media", b.mean)
        .Number("s", b.sd)
        .Object("x_NG", Interval(b.xNGInterval))
        .Number("x_EG", b.xEG)
        .Number("x_BG", b.xBG)
        .Number("LD", b.LD)
        .Number("LC", b.LC)
        .Object("intervalos", Intervals(b.intervals));
    return o.Reason("motivo", b.reason);
}

} // namespace

void AddWeightingJson(JsonObject& o, const Diagnostics& d) {
    std::vector<JsonObject> candidates, ranked;
    for (const WeightCandidate& c : d.weightCandidates) {
        JsonObject j;
        j.Text("peso", WeightName(c.scheme)).Number("suma_abs_RE_pct", c.sumAbsRE);
        candidates.push_back(j.Reason("motivo", c.reason));
    }
    for (WeightScheme s : d.weightRecommendation.ranked) {
        JsonObject j;
        j.Text("peso", WeightName(s));
        ranked.push_back(j);
    }
    // "ponderar" rests on three tests; each one's α stands beside the verdict.
    JsonObject alphas;
    alphas.Number("F_extremos", d.endLevelsF.alpha)
        .Number("cochran", kTestAlpha)
        .Number("bartlett", kTestAlpha);
    JsonObject recommendation;
    recommendation.Bool("ponderar", d.weightRecommendation.weight)
        .Object("alfas", alphas)
        .Array("orden", ranked)
        .Text("texto", d.weightRecommendation.text);
    JsonObject intervals;
    intervals.Object("ich_syx", Intervals(d.ichSyxIntervals))
        .Object("ich_sa", Intervals(d.ichSaIntervals));
    o.Object("prueba_F_extremos", EndLevels(d.endLevelsF))
        .Object("shapiro_wilk", Normality(d.shapiroWilk))
        .Text("ponderacion", WeightName(d.options.weighting))
        .Array("candidatos_peso", candidates)
        .Object("recomendacion_peso", recommendation)
        .Object("intervalos_limites", intervals);
    // Only where there are blanks: a study without a level at x = 0 and
    // without --blancos has no blank method to report.
    if (d.blank.n > 0) o.Object("metodo_blanco", Blank(d.blank));
    if (d.options.weighting != WeightScheme::None)
        o.Object("recta_ponderada", Weighted(d.weighted, d.residuals));
}

} // namespace valdex::cli
