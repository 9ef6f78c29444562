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
    return o.Reason("motivo", l.reason);
}

JsonObject Residual(const ResidualRow& r, const std::string& reason) {
    JsonObject o;
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
    return o;
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
        .Number("p", lof.p)
        .Reason("motivo", lof.reason);
    JsonObject cochran;
    cochran.Number("C", d.cochran.C)
        .Number("C_critico", d.cochran.cCritical)
        .Reason("motivo", d.cochran.reason);
    JsonObject bartlett;
    bartlett.Number("chi2", d.bartlett.chi2)
        .Number("gl", d.bartlett.df)
        .Number("p", d.bartlett.p)
        .Reason("motivo", d.bartlett.reason);
    JsonObject mandel;
    mandel.Number("s2", d.mandel.s2)
        .Number("PG", d.mandel.PG)
        .Number("F_critico", d.mandel.fCritical)
        .Reason("motivo", d.mandel.reason);
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
        .Object("parametros", parameters);
    AddWeightingJson(o, d);
    return o;
}

JsonObject SampleJson(const std::string& file, const SampleReading& r) {
    JsonObject o;
    o.Text("archivo", file)
        .Number("x", r.x)
        .Number("limite_inferior", r.lower)
        .Number("limite_superior", r.upper);
    if (!r.verdict.empty()) o.Text("veredicto", r.verdict);
    return o.Reason("motivo", r.reason);
}

JsonObject ErrorJson(const std::string& file, const std::string& message) {
    JsonObject o;
    o.Text("archivo", file).Text("error", message);
    return o;
}

} // namespace valdex::cli
