// The sentences that qualify the limits: the study's own tests that reject
// the straight, unweighted line, and the limits against the working range.

#include "calc/format_general.h"
#include "diagnostics/diagnostics_parts.h"

namespace valdex::parts {

namespace {

// p in prose with two significant digits ("4,4·10⁻⁶").
std::string P(const Value& p, char sep) {
    return p ? " (p = " + FormatProse(*p, 2, sep) + ")" : "";
}

std::string Amount(double x, const std::string& units, char sep) {
    return FormatProse(x, kPrecision6, sep) + (units.empty() ? "" : " " + units);
}

std::string Join(const std::vector<std::string>& parts, const char* between, const char* last) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : i + 1 == parts.size() ? last : between) + parts[i];
    return text;
}

} // namespace

std::vector<std::string> LimitCaveats(const Diagnostics& d, char sep) {
    std::vector<std::string> caveats;
    std::vector<std::string> failures;
    if (d.lackOfFit.significant)
        failures.push_back("falta de ajuste significativa" + P(d.lackOfFit.p, sep));
    if (d.mandel.significant)
        failures.push_back("la parábola ajusta mejor que la recta (Mandel" +
                           (d.mandel.p ? ", p = " + FormatProse(*d.mandel.p, 2, sep) : "") + ")");
    std::vector<std::string> variance;
    if (d.cochran.significant) variance.push_back("Cochran");
    if (d.bartlett.significant) variance.push_back("Bartlett");
    if (d.endLevelsF.significant) variance.push_back("F de los niveles extremos");
    if (!variance.empty())
        failures.push_back("varianzas no homogéneas (" + Join(variance, ", ", " y ") + ")");
    if (!failures.empty())
        caveats.push_back(
            "Límites calculados con una recta que no cumple: " + Join(failures, "; ", "; ") + ".");

    // The study's LC where there is one, else ICH's with s(y/x).
    const Value lc = d.study.LC ? d.study.LC : d.ichSyx.LC;
    const LineSummary& line = d.line;
    if (lc && line.xLowest && *lc < *line.xLowest)
        caveats.push_back("LC por debajo del patrón más bajo (extrapolado): confírmelo con "
                          "muestras en el LC.");
    if (d.din.xNG && line.xHighest && *d.din.xNG > 0 && *line.xHighest > 10 * *d.din.xNG)
        caveats.push_back("DIN 32645 espera una calibración cerca del límite: calibración "
                          "demasiado amplia para estimar el límite (el patrón más alto, " +
                          Amount(*line.xHighest, d.units, sep) +
                          ", pasa de diez veces x_NG = " + Amount(*d.din.xNG, d.units, sep) + ").");
    return caveats;
}

void MarkNotEstimable(StudyLimits& limits, const LineFit& line) {
    if (!line.hasS || line.s != 0 || !limits.LD) return;
    limits.LD.reset();
    limits.LC.reset();
    limits.reason = kNotEstimable;
}

} // namespace valdex::parts
