#include "study/level_check.h"

#include "../support/expect_throw.h"
#include "base/app_error.h"

#include <gtest/gtest.h>

namespace valdex {
namespace {

TEST(LevelCheckTest, Outcomes) {
    struct Case {
        std::string count;
        int columns;
        bool failed;
        std::string message;
    };
    const Case cases[] = {
        {"3", 3, false, ""},
        {"2", 2, false, ""},
        {"10", 10, false, ""},
        {"", 3, true, "Falta capturar el número de niveles."},
        {"1", 1, true, "Datos fuera de rango, 2-10 Número de Niveles"},
        {"11", 11, true, "Datos fuera de rango, 2-10 Número de Niveles"},
        {"0", 3, true, "Datos fuera de rango, 2-10 Número de Niveles"},
        {"4", 3, true,
         "El número de celdas de captura para los niveles, no coincide con el número de niveles "
         "especificado."},
    };
    for (const Case& c : cases) {
        CalibrationStudy study = CalibrationStudy::MakeNew();
        study.LevelCount = c.count;
        study.SetLevelColumns(c.columns);
        const LevelCheck check = CheckLevelCount(study);
        EXPECT_EQ(check.LevelCheckFailed, c.failed) << c.count;
        EXPECT_EQ(check.message, c.message) << c.count;
    }
}

TEST(LevelCheckTest, CountThatIsNotAWholeNumberEndsTheCommand) {
    CalibrationStudy study = CalibrationStudy::MakeNew();
    study.LevelCount = "x";
    EXPECT_THROW_MSG(CheckLevelCount(study), ConversionError, "'x' is not a valid integer value");
}

TEST(LevelCheckTest, ErrorBoxFullStopRule) {
    EXPECT_EQ(ErrorBoxText("Floating point overflow"), "Floating point overflow.");
    EXPECT_EQ(ErrorBoxText("I/O error 5"), "I/O error 5.");
    EXPECT_EQ(ErrorBoxText("Ya termina."), "Ya termina.");
    EXPECT_EQ(ErrorBoxText("Falta la replicación"), "Falta la replicación.");
    EXPECT_EQ(ErrorBoxText("¿Qué?"), "¿Qué?");
    EXPECT_EQ(ErrorBoxText(""), "");
}

} // namespace
} // namespace valdex
