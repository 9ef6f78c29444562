#include "report/deskjet_report.h"

#include "../support/expect_throw.h"
#include "base/app_error.h"
#include "page_expectations.h"

#include <gtest/gtest.h>

namespace valdex {
namespace {

using namespace valdex::testing;

std::vector<ExpectedText> DeskjetHeader() {
    return {Centre(6, "Desarrollo", 12),
            Centre(7, "LÍMITE DE DETECCIÓN Y CUANTIFICACIÓN DEL SISTEMA", 12)};
}

TEST(DeskjetReportTest, GeneralPageOfTheWorkedExample) {
    for (const Device& device : {k300Dpi, k600Dpi}) {
        SCOPED_TRACE(device.dpi);
        RecordingCanvas canvas(device.dpi, device.width, device.height);
        DeskjetReport report;
        report.PrintGeneralPage(canvas, PrintedExample());

        std::vector<ExpectedText> texts = DeskjetHeader();
        const std::vector<ExpectedText> body{
            Centre(10, "INFORMACIÓN GENERAL", 11),
            Col(12, 2, "VARIABILIDAD Regresión", 11),
            Col(14, 2, "Nombre del Método: Método A", 11),
            Col(15, 2, "Nombre del Analista: Ana", 11),
            Col(16, 2, "Fecha: 01/02/2000", 11),
            Col(17, 2, "Unidades de la cantidad adicionada:", 11),
            Col(18, 2, "mg", 11),
            Col(19, 2, "Nombre de la propiedad medida:", 11),
            Col(20, 2, "Área", 11),
            Col(24, 2, "Número de niveles de cantidad adicionada:", 11),
            Col(25, 2, "4", 11),
        };
        texts.insert(texts.end(), body.begin(), body.end());
        if (device.dpi == 600) {
            // The 12-pixel column unit is narrow at 600 dpi: "Replicación >>"
            // (14 characters of 45 px from x 24) ends at 654, past level 1's
            // column at 444, so level 1 starts two blanks (90 px) after it, and
            // each "Nivel n" (315 px) pushes the next; the labels (19
            // characters, ending at 879) push the responses to 969. At 300 dpi
            // everything fits and stands at its own column.
            AppendLevels(texts, {{1, 2, 3, 4}}, 27, 2, 35, 11, {744, 1149, 1554, 1959});
            AppendData(texts, 32, 2, 37, 11, 969);
        } else {
            AppendLevels(texts, {{1, 2, 3, 4}}, 27, 2, 35, 11);
            AppendData(texts, 32, 2, 37, 11);
        }
        texts.push_back(Right(51, "VALDEX v.w. 3.1", 11));
        ExpectPage(canvas, device, texts, {{8}, {52}});
        EXPECT_EQ(canvas.JobEvents(),
                  (std::vector<CanvasCall::Kind>{CanvasCall::Begin, CanvasCall::End}));
        EXPECT_EQ(report.Units().BodyFontSize, 11);
    }
}

TEST(DeskjetReportTest, PixelPositionsAtBothResolutions) {
    // 600 dpi: the title is 48 characters of 50 px; "INFORMACIÓN GENERAL" 19 of 45;
    // level 4, moved clear of level 3, starts at 1959 px (its column 142 is
    // 1704 px). 300 dpi: 25 and 22 px a character, level 4 at its column.
    const Spot spots[] = {
        {k600Dpi, 1, 1200, 700},   {k600Dpi, 2, 1972, 1000},  {k600Dpi, 3, 24, 1200},
        {k600Dpi, 25, 1959, 2700}, {k300Dpi, 1, 600, 350},    {k300Dpi, 2, 991, 500},
        {k300Dpi, 3, 24, 600},     {k300Dpi, 25, 1704, 1350},
    };
    for (const Spot& spot : spots) {
        RecordingCanvas canvas(spot.device.dpi, spot.device.width, spot.device.height);
        DeskjetReport report;
        report.PrintGeneralPage(canvas, PrintedExample());
        ExpectSpot(canvas, spot);
    }
}

const ResultRowTexts kDeskjetResultRows{
    {
        "PENDIENTE = 2.0233333",
        "LÍMITE SUPERIOR DEL INTERVALO DE CONFIANZA = 2.107557",
        "LÍMITE INFERIOR DEL INTERVALO DE CONFIANZA = 1.9391097",
        "ORDENADA AL ORIGEN = -0.0333333",
        "LÍMITE SUPERIOR DEL INTERVALO DE CONFIANZA DE LA ORDENADA AL ORIGEN = 0.197323",
        "LÍMITE INFERIOR DEL INTERVALO DE CONFIANZA DE LA ORDENADA AL ORIGEN = -0.263989",
        "DESVIACIÓN ESTÁNDAR DE REGRESIÓN = 0.146401",
        "COEFICIENTE DE VARIACIÓN = 2.91346",
        "COEFICIENTE DE DETERMINACIÓN = 0.99652183",
    },
    "DESVIACIÓN ESTÁNDAR DE ORDENADA AL ORIGEN = 0.103521",
    "LÍMITE DE DETECCIÓN ",
    "LÍMITE DE CUANTIFICACIÓN ",
};

TEST(DeskjetReportTest, ResultsPageByCalculationType) {
    const ResultsCase cases[] = {
        {"Regresión", false, true, "0.238776", "0.723565"},
        {"Ordenada al Origen", true, true, "0.16884", "0.511638"},
        {"Ordenada al origen", false, false, "", ""},
        {"", false, false, "", ""},
    };
    for (const Device& device : {k300Dpi, k600Dpi}) {
        for (const ResultsCase& c : cases) {
            SCOPED_TRACE(std::string(c.type) + " at " + std::to_string(device.dpi));
            RecordingCanvas canvas(device.dpi, device.width, device.height);
            DeskjetReport report;
            report.PrintResultsPage(canvas, PrintedExample(c.type));

            std::vector<ExpectedText> texts = DeskjetHeader();
            texts.push_back(Centre(11, std::string("Variabilidad con respecto a ") + c.type, 11));
            const int r = AppendResultRows(texts, kDeskjetResultRows, c, 2, 11, 1);
            // Footer 36 and rule 38, or 38 and 40 after the intercept's deviation.
            texts.push_back(Right(r + 11, "VALDEX v.w. 3.1", 11));
            ExpectPage(canvas, device, texts, {{8}, {r + 13}});
        }
    }
}

TEST(DeskjetReportTest, FailingCalculationBeginsNoJob) {
    CalibrationStudy study = PrintedExample();
    study.Responses[0].Response = "abc";
    RecordingCanvas canvas(600, 4800, 6300);
    DeskjetReport report;
    EXPECT_THROW_MSG(report.PrintResultsPage(canvas, study), ConversionError,
                     "'abc' is not a valid floating point value");
    EXPECT_TRUE(canvas.Calls().empty());
}

TEST(DeskjetReportTest, EachDesignKeepsItsOwnResult) {
    DeskjetReport deskjet;
    DeskjetReport other;
    RecordingCanvas canvas(600, 4800, 6300);
    deskjet.PrintResultsPage(canvas, PrintedExample("Ordenada al Origen"));
    EXPECT_NEAR(deskjet.Result().LD, 0.16884, 1e-5);
    EXPECT_EQ(other.Result().LD, 0);
}

} // namespace
} // namespace valdex
