#include "diagnostics/weighting_text.h"

#include "calc/format_general.h"
#include "diagnostics/weighting.h"

namespace valdex {

namespace {

constexpr const char* kMissing = "—";

class Lines {
public:
    explicit Lines(char sep) : sep_(sep) {}
    std::string N(const Value& v, int precision = kPrecision6) const {
        return v ? FormatGeneral(*v, precision, sep_) : kMissing;
    }
    std::string N(double v) const { return FormatGeneral(v, kPrecision6, sep_); }
    void Add(const std::string& text = "") { lines_.push_back(text); }
    void Heading(const std::string& text) {
        Add();
        Add(text);
    }
    // A reason as written after the tests: "No calculado: …" unless it says
    // so itself.
    void Note(const std::string& reason) {
        if (reason.empty()) return;
        const bool own =
            reason.rfind("No calculado", 0) == 0 || reason.rfind("No estimable", 0) == 0;
        Add(own ? reason : "No calculado: " + reason);
    }
    std::string Interval(const LimitInterval& i) const {
        if (!i.value) return kMissing;
        std::string text = N(i.value);
        if (i.lower && i.upper) text += " (IC 95 %: " + N(i.lower) + " a " + N(i.upper) + ")";
        return text;
    }
    std::vector<std::string> Take() { return std::move(lines_); }

private:
    char sep_;
    std::vector<std::string> lines_;
};

std::string Verdict(bool computed, bool significant, const char* yes, const char* no) {
    return computed ? std::string(": ") + (significant ? yes : no) : "";
}

void Evidence(const Diagnostics& d, Lines& w) {
    w.Heading("VARIANZAS DE LOS NIVELES EXTREMOS Y NORMALIDAD DE LOS RESIDUOS");
    const EndLevelsFTest& f = d.endLevelsF;
    w.Add("Prueba F de los niveles extremos (ISO 8466-1), α = " + w.N(f.alpha) +
          (f.F ? ": F = " + w.N(f.F) + " (gl " + std::to_string(f.dfNumerator) + " y " +
                     std::to_string(f.dfDenominator) + "), F crítico = " + w.N(f.fCritical) +
                     ", p = " + w.N(f.p)
               : std::string()) +
          Verdict(f.F && f.fCritical, f.significant, "varianzas no homogéneas",
                  "no se rechaza la igualdad de varianzas"));
    w.Note(f.reason);
    const ShapiroWilkTest& s = d.shapiroWilk;
    w.Add("Shapiro–Wilk de los residuos, α = " + w.N(s.alpha) +
          (s.W ? ": W = " + w.N(s.W) + ", p = " + w.N(s.p) + " (n = " + std::to_string(s.n) + ")"
               : std::string()) +
          Verdict(s.W && s.p, s.significant, "se rechaza la normalidad",
                  "no se rechaza la normalidad"));
    w.Note(s.reason);
    w.Add("F = s²(mayor)/s²(menor) de los niveles de x más baja y más alta, frente a F(" +
          w.N(1 - f.alpha) +
          "; ν₁, ν₂); W y p por el algoritmo de Royston (1995), de 3 a 5000 "
          "residuos.");
}

void Recommendation(const Diagnostics& d, Lines& w) {
    w.Heading("PONDERACIÓN");
    w.Add(d.weightRecommendation.text);
    std::string ranked;
    for (WeightScheme scheme : d.weightRecommendation.ranked) {
        for (const WeightCandidate& c : d.weightCandidates)
            if (c.scheme == scheme)
                ranked += (ranked.empty() ? "" : "; ") + std::string(WeightName(scheme)) +
                          " (Σ|%RE| = " + w.N(c.sumAbsRE) + ")";
    }
    if (!ranked.empty()) w.Add("Candidatos, del preferido al último: " + ranked + ".");
    for (const WeightCandidate& c : d.weightCandidates) {
        if (c.scheme == WeightScheme::None)
            w.Add("Sin ponderar: Σ|%RE| = " + w.N(c.sumAbsRE) + ".");
        else if (!c.reason.empty())
            w.Add(std::string("Peso ") + WeightName(c.scheme) + " no calculado. " + c.reason);
    }
    w.Add(std::string("Peso usado: ") + WeightName(d.options.weighting) + ".");
}

void WeightedSection(const Diagnostics& d, Lines& w) {
    const WeightedLine& l = d.weighted;
    w.Heading(std::string("RECTA PONDERADA (PESO ") + WeightName(l.scheme) + ")");
    if (!l.a) {
        w.Note(l.reason);
        return;
    }
    w.Add("PENDIENTE b = " + w.N(l.b, kPrecision8) + " (IC 95 %: " + w.N(l.bLower, kPrecision8) +
          " a " + w.N(l.bUpper, kPrecision8) + "), ORDENADA AL ORIGEN a = " + w.N(l.a) +
          " (IC 95 %: " + w.N(l.aLower) + " a " + w.N(l.aUpper) + ")");
    w.Add("s_w = " + w.N(l.sw) + " (" + std::to_string(l.df) + " grados de libertad), s_a = " +
          w.N(l.sa) + ", s_b = " + w.N(l.sb) + ", r² ponderado = " + w.N(l.r2, kPrecision8));
    w.Add("Σw = " + w.N(l.sumW) + ", x̄_w = " + w.N(l.meanXw) + ", ȳ_w = " + w.N(l.meanYw) +
          ", S_xx,w = " + w.N(l.sxxw));
    if (l.c0)
        w.Add("Función de varianza: s(x) = c₀ + c₁·x, c₀ = " + w.N(l.c0) + ", c₁ = " + w.N(l.c1));
    w.Note(l.reason);
    w.Add("Nivel  x  peso  x calculada  %RE");
    for (std::size_t i = 0; i < l.levels.size(); ++i) {
        const WeightedLevel& v = l.levels[i];
        w.Add(std::to_string(i + 1) + "  " + w.N(v.x) + "  " + w.N(v.weight) + "  " + w.N(v.xCalc) +
              "  " + w.N(v.relativeError));
    }
    w.Add("Σ|%RE| = " + w.N(l.sumAbsRE));
    w.Add("Residuos ponderados: nivel, réplica, e, √w·e");
    for (std::size_t i = 0; i < l.residuals.size() && i < d.residuals.size(); ++i)
        w.Add(std::to_string(d.residuals[i].level) + "  " +
              std::to_string(d.residuals[i].replicate) + "  " + w.N(l.rawResiduals[i]) + "  " +
              w.N(l.residuals[i]));
    const ShapiroWilkTest& s = l.shapiroWilk;
    w.Add("Shapiro–Wilk de los residuos ponderados" +
          (s.W ? ": W = " + w.N(s.W) + ", p = " + w.N(s.p) : std::string()) +
          Verdict(s.W && s.p, s.significant, "se rechaza la normalidad",
                  "no se rechaza la normalidad"));
    w.Note(s.reason);

    w.Heading("LÍMITES CON PESOS (no dependen de las unidades ni de la escala de los pesos)");
    w.Add("σ₀ = s(0) = s_w/√w(0) = " + w.N(l.sigma0) + "; LD = " + w.N(3.3) + "·σ₀/|b| = " +
          w.Interval(l.ichIntervals.LD) + ", LC = 10·σ₀/|b| = " + w.Interval(l.ichIntervals.LC));
    w.Add("DIN 32645 con la varianza ponderada de predicción: x_NG = " + w.N(l.xNG) +
          ", x_EG = " + w.N(l.xEG) + ", x_BG = " + w.N(l.xBG));
    w.Add("Hubaux–Vos con la varianza ponderada de predicción: y_C = " + w.N(l.yC) +
          ", x_C = " + w.N(l.xC) + ", x_D = " + w.N(l.xD));
    w.Note(l.limitsReason);
    w.Add("s(x) = s_w/√w(x); varianza de predicción de la media de m respuestas en x: "
          "s_w²·(1/(m·w(x)) "
          "+ 1/Σw + (x − x̄_w)²/S_xx,w).");
}

void Intervals(const Diagnostics& d, Lines& w) {
    w.Heading("INTERVALOS DE LOS LÍMITES (χ² DE s, 95 %)");
    w.Add("ICH con s(y/x): LD = " + w.Interval(d.ichSyxIntervals.LD) +
          ", LC = " + w.Interval(d.ichSyxIntervals.LC));
    w.Add("ICH con s_a: LD = " + w.Interval(d.ichSaIntervals.LD) +
          ", LC = " + w.Interval(d.ichSaIntervals.LC));
    w.Add("Límites por √(ν/χ²(" + w.N(0.975) + "; ν)) y √(ν/χ²(" + w.N(0.025) +
          "; ν)), ν = " + std::to_string(d.ichSyxIntervals.df) + " grados de libertad de s.");
}

void Blank(const Diagnostics& d, Lines& w) {
    const BlankMethod& b = d.blank;
    w.Heading("MÉTODO DEL BLANCO (DIN 32645) Y LÍMITES ICH CON LA DESVIACIÓN ESTÁNDAR DEL BLANCO");
    if (b.n > 0)
        w.Add("Blancos: n_L = " + std::to_string(b.n) +
              (b.fromStudy ? " (nivel x = 0 del estudio)" : " (dados)") +
              ", media = " + w.N(b.mean) + ", s_L = " + w.N(b.sd));
    if (b.xNG) {
        w.Add("x_NG = " + w.Interval(b.xNGInterval) + ", x_EG = " + w.N(b.xEG) +
              ", x_BG = " + w.N(b.xBG));
        w.Add("LD = " + w.N(3.3) + "·s_L/|b| = " + w.Interval(b.intervals.LD) +
              ", LC = 10·s_L/|b| = " + w.Interval(b.intervals.LC));
        w.Add("x_NG = (s_L/|b|)·t(n_L−1; 1−α)·√(1/m + 1/n_L); x_EG = (s_L/|b|)·(t(n_L−1; 1−α) + "
              "t(n_L−1; 1−β))·√(1/m + 1/n_L); x_BG = k·(s_L/|b|)·t(n_L−1; 1−α/2)·√(1/m + 1/n_L).");
    }
    w.Note(b.reason);
}

} // namespace

std::vector<std::string> WeightingLines(const Diagnostics& d, char sep) {
    Lines w(sep);
    Evidence(d, w);
    Recommendation(d, w);
    if (d.options.weighting != WeightScheme::None) WeightedSection(d, w);
    Intervals(d, w);
    Blank(d, w);
    return w.Take();
}

std::vector<std::string> WeightedSampleLines(WeightScheme scheme, char) {
    return {
        std::string("Peso usado: ") + WeightName(scheme) +
        ". Semiamplitud = t(N−2; 1−α/2)·(s_w/|b|)·√(1/(m·w₀) + 1/Σw + (ȳ₀ − ȳ_w)²/(b²·S_xx,w)), "
        "w₀ el peso en x."};
}

} // namespace valdex
