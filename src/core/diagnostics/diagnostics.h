#pragma once
// Calibration diagnostics beside the results window: residuals, lack of fit,
// homogeneity of variances, Mandel's test, Grubbs' outliers and the limits of
// ICH (both standard deviations), DIN 32645 and Hubaux–Vos. Each diagnostic
// that cannot be computed carries a Spanish reason instead of a number; none
// stops the others, and no field ever holds NaN or infinity.

#include "diagnostics/calibration_data.h"
#include "diagnostics/weighting_results.h"
#include "study/calibration_study.h"

#include <optional>
#include <string>
#include <vector>

namespace valdex {

// A finite result, or nothing (its diagnostic says why).
using Value = std::optional<double>;

// Significance levels of the tests, fixed like their textbook forms.
inline constexpr double kTestAlpha = 0.05;   // lack of fit, Cochran, Bartlett, Grubbs
inline constexpr double kMandelAlpha = 0.01; // Mandel, against F(0.99; 1, N − 3)

struct DiagnosticOptions {
    double alpha = 0.01; // one-sided, decision limits
    double beta = 0.01;  // one-sided, detection limits
    int m = 1;           // replicate measurements of a future sample
    double k = 3;        // DIN 32645 quantification factor
    // The weight of the weighted line (none: no weighted line), the explicit
    // weights (one per level) and the blank responses of the blank method.
    WeightScheme weighting = WeightScheme::None;
    std::vector<double> levelWeights;
    std::vector<double> blanks;
};

// The reason of a limit that a zero s(y/x) leaves without a value.
inline constexpr const char* kNotEstimable = "no estimable (s = 0)";

// Empty when the options are usable (0 < alpha, beta < 0.5; m a whole
// number from 1 to 1000; 0 < k <= 100); otherwise a message naming the
// option, its numbers written with the given decimal separator.
std::string CheckOptions(const DiagnosticOptions& options, char decimalSeparator);

struct LineSummary {
    int N = 0;
    int levels = 0; // levels with at least one response
    Value a, b, s, sa, meanX, meanY, qx;
    int df = 0; // N − 2
    std::string reason;
    Value r2;                // 1 − Σe²/Σ(y − ȳ)²
    Value xLowest, xHighest; // the working range: lowest and highest standard
};

struct LevelDiagnostics {
    double x = 0;
    int n = 0;
    Value mean, sd, xCalc, recovery, grubbsG, grubbsCritical;
    bool outlier = false; // G above its critical value; flagged, never removed
    std::string reason;
    std::string note; // qualifies a computed verdict (three replicates, two equal)
};

struct ResidualRow {
    int level = 0;     // 1-based, as in the study
    int replicate = 0; // 1-based
    double x = 0, y = 0;
    Value residual, standardized;
};

struct LackOfFitTest {
    Value ssLof, ssPe, dfLof, dfPe, F, fCritical, p;
    bool significant = false;
    std::string reason;
};

struct CochranTest {
    Value C, cCritical, p; // p: the Bonferroni bound its critical value rests on
    int groups = 0, replicates = 0;
    bool significant = false;
    std::string reason;
    // p is exact when C ≥ 1/2 (only one level can then hold more than half
    // the total variance); below that it is only an upper bound.
    bool pExact = false;
};

struct BartlettTest {
    Value chi2, df, chi2Critical, p;
    bool significant = false;
    std::string reason;
};

struct MandelTest {
    Value s2, ds2, PG, df2, fCritical, p;
    bool significant = false;
    std::string reason;
};

struct IchLimits {
    Value LD, LC;
    std::string reason;
};

struct DinLimits {
    Value xNG, xEG, xBG;
    std::string reason;
};

struct HubauxVosLimits {
    Value yC, xC, xD;
    std::string reason;
};

// LD and LC as the results window shows them, for the study's calculation
// type; what the samples are judged against.
struct StudyLimits {
    std::string calculationType;
    Value LD, LC;
    std::string reason;
};

struct Diagnostics {
    DiagnosticOptions options;
    std::string units; // the study's AddedQuantityUnits
    LineSummary line;
    std::vector<LevelDiagnostics> levels;
    std::vector<ResidualRow> residuals;
    std::string residualReason;
    LackOfFitTest lackOfFit;
    CochranTest cochran;
    BartlettTest bartlett;
    MandelTest mandel;
    IchLimits ichSyx, ichSa;
    DinLimits din;
    HubauxVosLimits hubauxVos;
    StudyLimits study;
    // Sentences that qualify the limits, one or two lines each: the study's
    // own tests that reject the straight, unweighted line, and the limits
    // against the working range. Written beside the limits table, on the
    // plot and on the diagnostics page; empty when nothing qualifies them.
    std::vector<std::string> limitCaveats;
    // The variances, the residuals' normality, the weights and the blanks.
    EndLevelsFTest endLevelsF;
    ShapiroWilkTest shapiroWilk; // of the ordinary residuals
    IchIntervals ichSyxIntervals, ichSaIntervals;
    std::vector<WeightCandidate> weightCandidates;
    WeightRecommendation weightRecommendation;
    WeightedLine weighted; // only for a weight asked for
    BlankMethod blank;
};

// Everything from numbers already read (the study's levels in order).
Diagnostics ComputeDiagnostics(const CalibrationData& data, const DiagnosticOptions& options);

// Reads the study (see ReadCalibrationData; a study that cannot be read
// throws its AppError), computes every diagnostic and the study's own LD and
// LC through ComputeCalibration.
Diagnostics ComputeDiagnostics(const CalibrationStudy& study, const DiagnosticOptions& options,
                               char decimalSeparator);

// The study's LD and LC by ComputeCalibration; a fault becomes the reason.
StudyLimits ComputeStudyLimits(const CalibrationStudy& study, char decimalSeparator);

} // namespace valdex
