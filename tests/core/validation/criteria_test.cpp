#include "diagnostics/weighting.h"
#include "validation/criteria.h"
#include "validation/evaluation.h"

#include "base/app_error.h"
#include "files/file_identity.h"
#include "validation_studies.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace valdex {
namespace {

using testing::ReadTable;
using testing::ValidationDataPath;

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(CriteriaTest, BuiltInSetsHoldTheirThresholds) {
    const CriteriaSet q2 = LoadCriteria(kIchQ2);
    EXPECT_EQ(q2.name, "ICH Q2(R2)");
    EXPECT_EQ(q2.source, "integrado");
    EXPECT_EQ(q2.sha256, Sha256Hex(*BuiltInCriteriaText(kIchQ2)));
    EXPECT_DOUBLE_EQ(q2[CriterionId::R2].threshold, 0.98);
    EXPECT_DOUBLE_EQ(q2[CriterionId::Levels].threshold, 5);
    EXPECT_DOUBLE_EQ(q2[CriterionId::LackOfFit].threshold, 0.05);
    EXPECT_TRUE(q2[CriterionId::InterceptIncludesZero].informative);
    EXPECT_FALSE(q2[CriterionId::StandardsPassing].active);
    EXPECT_DOUBLE_EQ(q2.tolerance, 15);
    EXPECT_DOUBLE_EQ(q2.lowestTolerance, 20);

    const CriteriaSet m10 = LoadCriteria(kIchM10);
    EXPECT_DOUBLE_EQ(m10[CriterionId::StandardsPassing].threshold, 75);
    EXPECT_DOUBLE_EQ(m10[CriterionId::LevelsPassing].threshold, 6);
    EXPECT_TRUE(m10[CriterionId::EndLevels].active);
    EXPECT_FALSE(m10[CriterionId::R2].active);
}

TEST(CriteriaTest, LaboratoryFileChangesItsBase) {
    const std::string path = ValidationDataPath("laboratorio.ini");
    const CriteriaSet set = LoadCriteria(path);
    EXPECT_EQ(set.name, "Laboratorio de control, curva de 4 niveles");
    EXPECT_EQ(set.sha256, Sha256Hex(FileText(path)));
    EXPECT_DOUBLE_EQ(set[CriterionId::R2].threshold, 0.995);
    EXPECT_FALSE(set[CriterionId::Levels].active);
    EXPECT_FALSE(set[CriterionId::LcAboveLowest].active);
    EXPECT_TRUE(set[CriterionId::LackOfFit].active);
    EXPECT_DOUBLE_EQ(set.tolerance, 10);
    EXPECT_DOUBLE_EQ(set.lowestTolerance, 20);
}

TEST(CriteriaTest, BadFilesAreRefusedNamingFileLineAndKey) {
    for (const auto& row : ReadTable("criteria_errors.txt")) {
        const std::string path = ValidationDataPath(row[0]);
        try {
            LoadCriteria(path);
            ADD_FAILURE() << row[0] << " was accepted";
        } catch (const AppError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(path + row[1], 0), 0u)
                << row[0] << ": " << error.what();
        }
    }
}

TEST(EvaluationTest, EachCriterionPassesAndFailsOnItsStudy) {
    const auto studies = testing::ValidationStudies();
    for (const auto& row : ReadTable("evaluation_cases.txt")) {
        SCOPED_TRACE(row[0] + " / " + row[1] + " / " + row[2]);
        const CriteriaSet set =
            LoadCriteria(BuiltInCriteriaText(row[0]) ? row[0] : ValidationDataPath(row[0]));
        DiagnosticOptions options; // a fifth field: the weight chosen
        if (row.size() > 4) options.weighting = ParseWeightName(row[4]).value();
        const ValidationData data = ComputeValidationData(studies.at(row[1]), options, '.');
        const Evaluation evaluation = Evaluate(set, data, ',');
        if (row[2] == "conclusion") {
            EXPECT_EQ(evaluation.conclusion.rfind(row[3], 0), 0u) << evaluation.conclusion;
            EXPECT_EQ(evaluation.passed, row[3].find("cumple todos") != std::string::npos);
            continue;
        }
        bool found = false;
        for (const CriterionResult& result : evaluation.rows)
            if (CriterionKey(result.id) == row[2]) {
                found = true;
                EXPECT_EQ(VerdictText(result).rfind(row[3], 0), 0u)
                    << VerdictText(result) << " — " << result.measured;
            }
        EXPECT_TRUE(found);
    }
}

// The worked example's published results: s(y/x) = 0.146401, b = 2.0233333,
// LC = 10·s/b = 0.723565, so s_x0 = LC/10; x̄ = 2.5; 10 degrees of freedom.
TEST(EvaluationTest, ProcedureStandardDeviationOfTheWorkedExample) {
    const auto studies = testing::ValidationStudies();
    const ValidationData data = ComputeValidationData(studies.at("ejemplo"), {}, '.');
    ASSERT_TRUE(data.sx0 && data.vx0 && data.ssRes);
    EXPECT_NEAR(*data.sx0, 0.0723565, 5e-8);
    EXPECT_NEAR(*data.vx0, 100 * 0.0723565 / 2.5, 5e-6);
    EXPECT_NEAR(*data.ssRes, 0.146401 * 0.146401 * 10, 5e-6);
    ASSERT_TRUE(data.result);
    EXPECT_NEAR(data.result->LC / 10, *data.sx0, 1e-12);
}

} // namespace
} // namespace valdex
