#pragma once
// The acceptance criteria a validation is judged against: a small INI text a
// person edits by hand, fixed before the study is evaluated. Two sets are
// built in ("ICH Q2(R2)", "ICH M10 cromatográfico"); a laboratory's own file
// may start from one of them (`base = ...`), change any threshold and switch
// any criterion off (`activo = no`).
//
//   nombre = Criterios del laboratorio
//   base = ICH Q2(R2)
//   [r2]
//   minimo = 0.995
//   [falta_de_ajuste]
//   activo = no
//
// A section names a criterion; naming it switches it on unless it says
// `activo = no`. A file without `base` starts with every criterion off.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace valdex {

enum class CriterionId {
    R2,                    // r² ≥ minimo
    SlopeExcludesZero,     // the slope's 95 % interval excludes 0
    InterceptIncludesZero, // the intercept's 95 % interval includes 0
    Levels,                // at least minimo levels with responses
    LackOfFit,             // lack of fit not significant at alfa
    Variances,     // Cochran, Bartlett and the end levels' F not significant at alfa, or a weight
    Recovery,      // every standard within the tolerance
    LcAboveLowest, // LC not below the lowest standard
    StandardsPassing, // at least minimo % of the standards within the tolerance
    LevelsPassing,    // at least minimo levels keep a standard within the tolerance
    EndLevels,        // the lowest and highest level each keep one
};

inline constexpr std::array<CriterionId, 11> kCriterionIds{CriterionId::R2,
                                                           CriterionId::SlopeExcludesZero,
                                                           CriterionId::InterceptIncludesZero,
                                                           CriterionId::Levels,
                                                           CriterionId::LackOfFit,
                                                           CriterionId::Variances,
                                                           CriterionId::Recovery,
                                                           CriterionId::LcAboveLowest,
                                                           CriterionId::StandardsPassing,
                                                           CriterionId::LevelsPassing,
                                                           CriterionId::EndLevels};

struct Criterion {
    bool active = false;
    // Reported with its verdict, left out of the conclusion.
    bool informative = false;
    // minimo (r², levels, % of standards, passing levels) or alfa (tests).
    double threshold = 0;
};

inline constexpr const char* kIchQ2 = "ICH Q2(R2)";
inline constexpr const char* kIchM10 = "ICH M10 cromatográfico";

struct CriteriaSet {
    std::string name;
    std::string source; // "integrado" or the file's path
    std::string sha256; // of the text the set was read from
    std::array<Criterion, kCriterionIds.size()> criteria{};
    // [tolerancia]: the recovery's allowed deviation from 100 %, in percent,
    // at every level but the lowest and at the lowest.
    double tolerance = 15;
    double lowestTolerance = 20;

    Criterion& operator[](CriterionId id) { return criteria[static_cast<int>(id)]; }
    const Criterion& operator[](CriterionId id) const { return criteria[static_cast<int>(id)]; }
};

// The section name of a criterion in a criteria file ("r2", "falta_de_ajuste").
std::string_view CriterionKey(CriterionId id);
// What the criterion asks, in Spanish, with the set's thresholds.
std::string CriterionText(const CriteriaSet& set, CriterionId id, char decimalSeparator);

// The text of a built-in set, or nothing when no set has that name.
std::optional<std::string_view> BuiltInCriteriaText(std::string_view name);

// Reads a set from its text. `fileName` names it in the messages:
// "<file>, línea 7, clave «minimo»: se esperaba un número entre 0 y 1."
// Throws StudyError.
CriteriaSet ParseCriteria(std::string_view text, const std::string& fileName);

// A built-in set by its name, else the file at that path (at most 64 KiB).
// Throws StudyError or FileError naming the file.
CriteriaSet LoadCriteria(const std::string& nameOrPath);

} // namespace valdex
