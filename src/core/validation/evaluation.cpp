#include "validation/evaluation.h"

#include "calc/format_general.h"
#include "diagnostics/calibration_data.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <set>

namespace valdex {

namespace {

std::string Title(CriterionId id) {
    switch (id) {
    case CriterionId::R2:
        return "r²";
    case CriterionId::SlopeExcludesZero:
        return "pendiente";
    case CriterionId::InterceptIncludesZero:
        return "ordenada al origen";
    case CriterionId::Levels:
        return "niveles";
    case CriterionId::LackOfFit:
        return "falta de ajuste";
    case CriterionId::Variances:
        return "varianzas";
    case CriterionId::Recovery:
        return "recuperación";
    case CriterionId::LcAboveLowest:
        return "LC";
    case CriterionId::StandardsPassing:
        return "estándares aceptados";
    case CriterionId::LevelsPassing:
        return "niveles aceptados";
    case CriterionId::EndLevels:
        return "niveles extremos";
    }
    return {};
}

// The standards that have a recovery, with the lowest and highest added
// quantity among them; blanks (x = 0) have none.
struct StandardsView {
    std::vector<const StandardRow*> rows;
    double lowest = 0, highest = 0;
    int missing = 0; // standards with x ≠ 0 but no recovery (no line)
};

StandardsView ViewOf(const ValidationData& data) {
    StandardsView view;
    for (const StandardRow& row : data.standards) {
        if (row.x == 0) continue;
        if (!row.recovery) {
            ++view.missing;
            continue;
        }
        if (view.rows.empty() || row.x < view.lowest) view.lowest = row.x;
        if (view.rows.empty() || row.x > view.highest) view.highest = row.x;
        view.rows.push_back(&row);
    }
    return view;
}

bool Within(const CriteriaSet& set, const StandardsView& view, const StandardRow& row) {
    const double tolerance = row.x == view.lowest ? set.lowestTolerance : set.tolerance;
    return std::fabs(*row.recovery - 100) <= tolerance + 1e-9;
}

class Evaluator {
public:
    Evaluator(const CriteriaSet& set, const ValidationData& data, char sep)
        : set_(set), data_(data), sep_(sep), view_(ViewOf(data)) {}

    void Run(CriterionId id, CriterionResult& row) {
        const Criterion& c = set_[id];
        const Diagnostics& d = data_.diagnostics;
        const std::optional<CalibrationResult>& r = data_.result;
        switch (id) {
        case CriterionId::R2:
            if (!r) return NotEvaluable(row, data_.resultReason);
            row.measured = "r² = " + N8(r->R2);
            return Decide(row, r->R2 >= c.threshold);
        case CriterionId::SlopeExcludesZero:
            if (!r) return NotEvaluable(row, data_.resultReason);
            row.measured = "[" + N8(r->SlopeCILower) + "; " + N8(r->SlopeCIUpper) + "]";
            return Decide(row, r->SlopeCILower > 0 || r->SlopeCIUpper < 0);
        case CriterionId::InterceptIncludesZero:
            if (!r) return NotEvaluable(row, data_.resultReason);
            row.measured = "[" + N(r->InterceptCILower) + "; " + N(r->InterceptCIUpper) + "]";
            return Decide(row, r->InterceptCILower <= 0 && r->InterceptCIUpper >= 0);
        case CriterionId::Levels: {
            std::set<double> levels;
            for (const LevelDiagnostics& level : d.levels)
                if (level.n > 0) levels.insert(level.x);
            row.measured = std::to_string(levels.size()) + " niveles con respuestas";
            return Decide(row, static_cast<double>(levels.size()) >= c.threshold);
        }
        case CriterionId::LackOfFit:
            if (!d.lackOfFit.p || !d.lackOfFit.F) return NotEvaluable(row, d.lackOfFit.reason);
            row.measured = "F = " + N(*d.lackOfFit.F) + ", p = " + N(*d.lackOfFit.p);
            return Decide(row, *d.lackOfFit.p >= c.threshold);
        case CriterionId::Variances:
            return Variances(row, c.threshold);
        case CriterionId::Recovery: {
            if (!Standards(row)) return;
            int inside = 0;
            const StandardRow* worst = nullptr;
            for (const StandardRow* s : view_.rows) {
                if (Within(set_, view_, *s)) ++inside;
                if (!worst || std::fabs(*s->recovery - 100) > std::fabs(*worst->recovery - 100))
                    worst = s;
            }
            row.measured = std::to_string(inside) + " de " + std::to_string(view_.rows.size()) +
                           " dentro; la más alejada: " + N(*worst->recovery) + " % (nivel " +
                           std::to_string(worst->level) + ")";
            return Decide(row, inside == static_cast<int>(view_.rows.size()));
        }
        case CriterionId::LcAboveLowest: {
            if (!d.study.LC) return NotEvaluable(row, d.study.reason);
            if (data_.standards.empty())
                return NotEvaluable(row, "El estudio no tiene respuestas.");
            // Blanks count: a curve down to x = 0 covers every LC.
            double lowest = 0;
            bool found = false;
            for (const StandardRow& s : data_.standards)
                if (!found || std::fabs(s.x) < std::fabs(lowest)) {
                    lowest = s.x;
                    found = true;
                }
            // A decreasing curve gives LC negative; the limit is an amount.
            const double lc = std::fabs(*d.study.LC);
            row.measured =
                "LC = " + N(lc) + Units() + "; estándar más bajo: " + N(lowest) + Units();
            return Decide(row, lc >= std::fabs(lowest));
        }
        case CriterionId::StandardsPassing: {
            if (!Standards(row)) return;
            const double percent = 100.0 * Inside() / static_cast<double>(view_.rows.size());
            row.measured = std::to_string(Inside()) + " de " + std::to_string(view_.rows.size()) +
                           " (" + N(percent) + " %)";
            return Decide(row, percent >= c.threshold - 1e-9);
        }
        case CriterionId::LevelsPassing: {
            if (!Standards(row)) return;
            const std::set<double> passing = PassingLevels();
            row.measured = std::to_string(passing.size()) + " niveles";
            return Decide(row, static_cast<double>(passing.size()) >= c.threshold);
        }
        case CriterionId::EndLevels: {
            if (!Standards(row)) return;
            const std::set<double> passing = PassingLevels();
            const bool low = passing.count(view_.lowest) > 0;
            const bool high = passing.count(view_.highest) > 0;
            row.measured = std::string("nivel más bajo: ") + (low ? "sí" : "no") +
                           "; nivel más alto: " + (high ? "sí" : "no");
            return Decide(row, low && high);
        }
        }
    }

private:
    std::string N(double v) const { return FormatProse(v, kPrecision6, sep_); }
    std::string N8(double v) const { return FormatProse(v, kPrecision8, sep_); }
    std::string Units() const {
        return data_.study.AddedQuantityUnits.empty() ? "" : " " + data_.study.AddedQuantityUnits;
    }
    static void Decide(CriterionResult& row, bool pass) {
        row.verdict = pass ? Verdict::Pass : Verdict::Fail;
    }
    static void NotEvaluable(CriterionResult& row, const std::string& reason) {
        row.verdict = Verdict::NotEvaluable;
        row.reason = reason.empty() ? "sin datos" : reason;
    }
    bool Standards(CriterionResult& row) {
        if (view_.missing > 0) {
            const std::string& reason = data_.diagnostics.line.reason;
            NotEvaluable(row, reason.empty()
                                  ? "La recta no da cantidades calculadas (pendiente nula)."
                                  : reason);
            return false;
        }
        if (view_.rows.empty()) {
            NotEvaluable(row, "El estudio no tiene estándares con x distinto de 0.");
            return false;
        }
        return true;
    }
    int Inside() const {
        return static_cast<int>(std::count_if(view_.rows.begin(), view_.rows.end(),
                                              [&](auto* s) { return Within(set_, view_, *s); }));
    }
    std::set<double> PassingLevels() const {
        std::set<double> passing;
        for (const StandardRow* s : view_.rows)
            if (Within(set_, view_, *s)) passing.insert(s->x);
        return passing;
    }
    // A weight chosen whose line was fitted meets the criterion; else the
    // three tests of the variances, each at the criterion's α. A weight that
    // was refused (1/x with blanks) weights nothing and does not count.
    void Variances(CriterionResult& row, double alpha) {
        const Diagnostics& d = data_.diagnostics;
        std::string refused;
        if (d.options.weighting != WeightScheme::None) {
            if (d.weighted.a) {
                row.measured = "ponderación " + data_.weighting;
                return Decide(row, true);
            }
            refused =
                "ponderación " + data_.weighting + " no aplicada (" + d.weighted.reason + "); ";
        }
        const CochranTest& c = d.cochran;
        const BartlettTest& b = d.bartlett;
        const EndLevelsFTest& f = d.endLevelsF;
        if (!c.p && !b.p && !f.p) {
            std::string why;
            for (const std::string* reason : {&c.reason, &b.reason, &f.reason})
                if (!reason->empty() && why.find(*reason) == std::string::npos)
                    why += (why.empty() ? "" : " ") + *reason;
            return NotEvaluable(row, refused + why);
        }
        const auto p = [&](const Value& v) {
            return v ? "p = " + N(*v) : std::string("no calculado");
        };
        row.measured = refused + "Cochran: " + p(c.p) + "; Bartlett: " + p(b.p) +
                       "; F de los niveles extremos: " + p(f.p);
        return Decide(row,
                      !(c.p && *c.p < alpha) && !(b.p && *b.p < alpha) && !(f.p && *f.p < alpha));
    }

    const CriteriaSet& set_;
    const ValidationData& data_;
    char sep_;
    StandardsView view_;
};

} // namespace

ValidationData ComputeValidationData(const CalibrationStudy& study,
                                     const DiagnosticOptions& options, char sep) {
    ValidationData data;
    data.study = study;
    data.diagnostics = ComputeDiagnostics(study, options, sep);
    data.weighting = WeightName(options.weighting);
    if (options.weighting == WeightScheme::Explicit) {
        std::string weights;
        for (double w : options.levelWeights)
            weights += (weights.empty() ? "" : "; ") + FormatProse(w, 6, sep);
        data.weighting += " (" + weights + ")";
    }
    try {
        CalibrationCalculator calculator(sep);
        CalibrationResult result;
        calculator.ComputeCalibration(study, result);
        data.result = result;
    } catch (const std::exception& error) {
        data.resultReason = error.what();
    }
    const CalibrationData points = ReadCalibrationData(study, sep);
    const LineSummary& line = data.diagnostics.line;
    for (std::size_t i = 0; i < points.levels.size(); ++i) {
        const CalibrationLevel& level = points.levels[i];
        for (std::size_t j = 0; j < level.responses.size(); ++j) {
            StandardRow row;
            row.level = static_cast<int>(i) + 1;
            row.replicate = static_cast<int>(j) + 1;
            row.x = level.x;
            row.y = level.responses[j];
            if (line.a && line.b && *line.b != 0) {
                const double xCalc = (row.y - *line.a) / *line.b;
                if (std::isfinite(xCalc)) row.xCalc = xCalc;
                if (row.xCalc && row.x != 0 && std::isfinite(100 * xCalc / row.x))
                    row.recovery = 100 * xCalc / row.x;
            }
            data.standards.push_back(row);
        }
    }
    if (line.s && line.b && *line.b != 0) {
        data.sx0 = *line.s / std::fabs(*line.b);
        if (line.meanX && *line.meanX != 0) data.vx0 = 100 * *data.sx0 / std::fabs(*line.meanX);
        if (line.df > 0) data.ssRes = *line.s * *line.s * line.df;
    }
    return data;
}

std::string VerdictText(const CriterionResult& row) {
    switch (row.verdict) {
    case Verdict::Pass:
        return "Cumple";
    case Verdict::Fail:
        return "No cumple";
    case Verdict::NotEvaluable:
        return "No evaluable (" + row.reason + ")";
    }
    return {};
}

Evaluation Evaluate(const CriteriaSet& set, const ValidationData& data, char sep) {
    Evaluation evaluation;
    Evaluator evaluator(set, data, sep);
    std::vector<std::string> failed, open;
    for (CriterionId id : kCriterionIds) {
        if (!set[id].active) continue;
        CriterionResult row;
        row.id = id;
        row.title = Title(id);
        row.requirement = CriterionText(set, id, sep);
        row.informative = set[id].informative;
        evaluator.Run(id, row);
        if (!row.informative && row.verdict == Verdict::Fail) failed.push_back(row.title);
        if (!row.informative && row.verdict == Verdict::NotEvaluable) open.push_back(row.title);
        evaluation.rows.push_back(std::move(row));
    }
    const auto list = [](const std::vector<std::string>& titles) {
        std::string text;
        for (const std::string& title : titles)
            text += (text.empty() ? "" : ", ") + title;
        return text;
    };
    const std::string setName = "«" + set.name + "»";
    evaluation.passed = failed.empty() && open.empty();
    if (!failed.empty())
        evaluation.conclusion = "Conclusión: el estudio no cumple los criterios " + setName +
                                " (no cumple: " + list(failed) + ").";
    else if (!open.empty())
        evaluation.conclusion = "Conclusión: no se puede concluir con los criterios " + setName +
                                " (no evaluable: " + list(open) + ").";
    else
        evaluation.conclusion =
            "Conclusión: el estudio cumple todos los criterios " + setName + ".";
    return evaluation;
}

} // namespace valdex
