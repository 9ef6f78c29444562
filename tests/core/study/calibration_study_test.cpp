#include "study/calibration_study.h"

#include <gtest/gtest.h>

namespace valdex {
namespace {

TEST(CalibrationStudyTest, NewStudyAsANewWindowHoldsIt) {
    const CalibrationStudy study = CalibrationStudy::MakeNew();
    EXPECT_EQ(study.LevelCount, "3");
    ASSERT_EQ(study.LevelColumns(), 3);
    EXPECT_EQ(study.LevelCell(1, 0), "Nivel 1");
    EXPECT_EQ(study.LevelCell(3, 0), "Nivel 3");
    EXPECT_EQ(study.LevelCell(0, 0), "");
    EXPECT_EQ(study.LevelCell(0, 1), "Valor >>");
    EXPECT_EQ(study.LevelCell(0, 2), "Replicación >>");
    EXPECT_EQ(study.ResponseRows(), 9);
    EXPECT_EQ(study.ResponseCell(0, 1), "");
}

TEST(CalibrationStudyTest, CellsOutsideTheGridReadEmptyAndResizeKeepsCells) {
    CalibrationStudy study = CalibrationStudy::MakeNew();
    study.Levels[1].AddedQuantity = "2";
    study.Responses[0].Response = "4.5";
    study.ResponsesHeading = "Área";
    EXPECT_EQ(study.LevelCell(4, 1), "");
    EXPECT_EQ(study.LevelCell(-1, 1), "");
    EXPECT_EQ(study.ResponseCell(1, 10), "");
    EXPECT_EQ(study.ResponseCell(1, 0), "Área");
    study.SetLevelColumns(5);
    study.SetResponseRows(12);
    EXPECT_EQ(study.LevelCell(2, 1), "2");
    EXPECT_EQ(study.ResponseCell(1, 1), "4.5");
    study.SetLevelColumns(1);
    EXPECT_EQ(study.LevelCell(2, 1), "");
}

TEST(CalibrationStudyTest, Labels) {
    EXPECT_EQ(ResponseLabel(2, 3), "Nivel 2 , Replica 3");
    EXPECT_EQ(ResponseLabel(10, 12), "Nivel 10 , Replica 12");
    EXPECT_EQ(LevelHeading(10), "Nivel 10");
}

} // namespace
} // namespace valdex
