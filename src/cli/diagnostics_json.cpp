#include "diagnostics_json.h"

#include "weighting_json.h"

namespace valdex::cli {

namespace {

JsonObject Level(const LevelDiagnostics& l) {
    JsonObject o;
    o.Number("x", l.x)
        .Number("n", l.n)
        .Number("media", l.mean)
        .Number("s", l.sd)
        .Number("x_calc", l.xCalc)
        .Number("recuperacion", l.recovery)
        .Number("grubbs_G", l.grubbsG)
        .Number("grubbs_critico", l.grubbsCritical);
    if (l.grubbsG && l.grubbsCritical)
        o.Bool("grubbs_atipico", l.outlier).Number("grubbs_alfa", kTestAlpha);
    o.Reason("nota", l.note);
    return o.Reason("motivo", l.reason);
}

JsonObject Residual(const ResidualRow& r, const std::string& reason) {
    JsonObject o;
    o.Number("nivel", r.level).Number("replica", r.replicate);
    o.Number("x", r.x).Number("y", r.y).Number("residuo", r.residual);
    o.Number("estandarizado", r.standardized);
    return o.Reason("motivo", r.residual && r.standardized ? "" : reason);
}

JsonObject Pair(const char* first, const Value& a, const char* second, const Value& b,
                const std::string& reason) {
    JsonObject o;
    o.Number(first, a).Number(second, b);
    return o.Reason("motivo", reason);
}

JsonObject Limits(const Diagnostics& d) {
    JsonObject din, hv;
    din.Number("x_NG", d.din.xNG).Number("x_EG", d.din.xEG).Number("x_BG", d.din.xBG);
    din.Reason("motivo", d.din.reason);
    hv.Number("y_C", d.hubauxVos.yC).Number("x_C", d.hubauxVos.xC).Number("x_D", d.hubauxVos.xD);
    hv.Reason("motivo", d.hubauxVos.reason);
    JsonObject o;
    o.Object("ich_syx", Pair("LD", d.ichSyx.LD, "LC", d.ichSyx.LC, d.ichSyx.reason))
        .Object("ich_sa", Pair("LD", d.ichSa.LD, "LC", d.ichSa.LC, d.ichSa.reason))
        .Object("din32645", din)
        .Object("hubaux_vos", hv);
    JsonObject study;
    study.Text("tipo", d.study.calculationType).Number("LD", d.study.LD).Number("LC", d.study.LC);
    o.Object("estudio", study.Reason("motivo", d.study.reason));
    return o.Texts("advertencias", d.limitCaveats);
}

// A verdict as a boolean with the α it used, when it was reached.
void Verdict(JsonObject& o, bool reached, bool significant, double alpha) {
    if (reached) o.Bool("significativa", significant).Number("alfa", alpha);
}

JsonObject Line(const LineSummary& l) {
    JsonObject o;
    o.Number("a", l.a)
        .Number("b", l.b)
        .Number("s_yx", l.s)
        .Number("s_a", l.sa)
        .Number("r2", l.r2)
        .Number("media_x", l.meanX)
        .Number("media_y", l.meanY)
        .Number("Q_x", l.qx)
        .Number("gl", l.df)
        .Number("x_min", l.xLowest)
        .Number("x_max", l.xHighest);
    return o.Reason("motivo", l.reason);
}

} // namespace

JsonObject DiagnosticsJson(const std::string& file, const Diagnostics& d) {
    std::vector<JsonObject> levels, residuals;
    for (const LevelDiagnostics& l : d.levels)
        levels.push_back(Level(l));
    residuals.reserve(d.residuals.size());
    for (const ResidualRow& r : d.residuals)
        residuals.push_back(Residual(r, d.residualReason));

    const LackOfFitTest& lof = d.lackOfFit;
    JsonObject lackOfFit;
    lackOfFit.Number("SS_LOF", lof.ssLof)
        .Number("SS_PE", lof.ssPe)
        .Number("gl_LOF", lof.dfLof)
        .Number("gl_PE", lof.dfPe)
        .Number("F", lof.F)
        .Number("F_critico", lof.fCritical)
        .Number("p", lof.p);
    Verdict(lackOfFit, lof.F && lof.fCritical, lof.significant, kTestAlpha);
    lackOfFit.Reason("motivo", lof.reason);
    JsonObject cochran;
    const CochranTest& c = d.cochran;
    cochran.Number("C", c.C).Number("C_critico", c.cCritical).Number("p", c.p);
    if (c.p) cochran.Bool("p_cota", !c.pExact);
    if (c.groups > 0) cochran.Number("k", c.groups).Number("n", c.replicates);
    Verdict(cochran, c.C && c.cCritical, c.significant, kTestAlpha);
    cochran.Reason("motivo", c.reason);
    JsonObject bartlett;
    bartlett.Number("chi2", d.bartlett.chi2)
        .Number("gl", d.bartlett.df)
        .Number("p", d.bartlett.p)
        .Number("chi2_critico", d.bartlett.chi2Critical);
    Verdict(bartlett, d.bartlett.chi2 && d.bartlett.chi2Critical, d.bartlett.significant,
            kTestAlpha);
    bartlett.Reason("motivo", d.bartlett.reason);
    JsonObject mandel;
    mandel.Number("s2", d.mandel.s2)
        .Number("PG", d.mandel.PG)
        .Number("F_critico", d.mandel.fCritical)
        .Number("p", d.mandel.p);
    if (d.mandel.df2) mandel.Number("gl1", 1).Number("gl2", d.mandel.df2);
    Verdict(mandel, d.mandel.PG && d.mandel.fCritical, d.mandel.significant, kMandelAlpha);
    mandel.Reason("motivo", d.mandel.reason);
    JsonObject parameters;
    parameters.Number("alfa", d.options.alpha)
        .Number("beta", d.options.beta)
        .Number("m", d.options.m)
        .Number("k", d.options.k);

    JsonObject o;
    o.Text("archivo", file)
        .Number("N", d.line.N)
        .Array("niveles", levels)
        .Array("residuos", residuals)
        .Object("falta_de_ajuste", lackOfFit)
        .Object("cochran", cochran)
        .Object("bartlett", bartlett)
        .Object("mandel", mandel)
        .Object("limites", Limits(d))
        .Object("parametros", parameters)
        .Object("recta", Line(d.line));
    AddWeightingJson(o, d);
    return o;
}

JsonObject SampleJson(const std::string& file, const SampleReading& r, char sep) {
    JsonObject o;
    o.Text("archivo", file)
        .Number("x", r.x)
        .Number("limite_inferior", r.lower)
        .Number("limite_superior", r.upper);
    // Above the range the verdict is the extrapolation; between LD and the
    // lowest standard it keeps its text and the note goes beside it.
    if (!r.verdict.empty() || r.extrapolated) {
        o.Text("veredicto", r.extrapolated ? SampleVerdict(r, sep) : r.verdict);
        o.Bool("extrapolacion", r.extrapolated);
        if (r.belowLowest) o.Text("nota", kBelowLowest);
    }
    o.Reason("motivo", r.reason);
    o.Number("m", r.m).Number("media_y0", r.mean).Number("alfa", r.alpha);
    o.Number("error_estandar_x", r.standardError).Text("unidades", r.units);
    JsonObject range, limits;
    range.Number("x_min", r.xLowest).Number("x_max", r.xHighest);
    limits.Text("tipo", r.limits.calculationType)
        .Number("LD", r.limits.LD)
        .Number("LC", r.limits.LC)
        .Reason("motivo", r.limits.reason);
    return o.Object("intervalo_de_trabajo", range).Object("limites", limits);
}

JsonObject ErrorJson(const std::string& file, const std::string& message) {
    JsonObject o;
    o.Text("archivo", file).Text("error", message);
    return o;
}

} // namespace valdex::cli
