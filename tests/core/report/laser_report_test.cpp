#include "report/laser_report.h"

#include "base/app_error.h"
#include "page_expectations.h"

#include <gtest/gtest.h>

namespace valdex {
namespace {

using namespace valdex::testing;

const std::string kTitle = "Límite de Detección y Cuantificación del Sistema";

std::vector<ExpectedText> LaserHeader() {
    return {Centre(3, "Desarrollo", 12), Centre(4, kTitle, 12)};
}

std::vector<ExpectedText> LaserGeneralTop(const std::string& type, const std::string& levels) {
    std::vector<ExpectedText> out = LaserHeader();
    const std::vector<ExpectedText> body{
        Centre(7, "Información General", 10),
        Col(8, 45, "Variabilidad : Curva de Calibración \"" + type + "\"", 10),
        Col(9, 45, "Nombre del Método: Método A", 10),
        Col(10, 45, "Nombre del Analista: Ana", 10),
        Col(11, 45, "Fecha: 01/02/2000", 10),
        Col(12, 45, "Unidades de la cantidad adicionada:", 10),
        Col(13, 45, "mg", 10),
        Col(14, 45, "Nombre de la propiedad medida:", 10),
        Col(15, 45, "Área", 10),
        Col(17, 45, "Número de niveles de cantidad adicionada:", 10),
        Col(18, 45, "                        " + levels, 10),
    };
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

struct GeneralCase {
    const char* name;
    Device device;
    std::vector<std::vector<int>> blocks; // level columns per block
    int dataRow;
};

// At 300 dpi the page is 2400 pixels wide and the fourth level column would
// start at 2640: the levels go on in a second block and the data move down.
TEST(LaserReportTest, GeneralPageOfTheWorkedExample) {
    const GeneralCase cases[] = {
        {"600 dpi", k600Dpi, {{1, 2, 3, 4}}, 25},
        {"300 dpi", k300Dpi, {{1, 2}, {3, 4}}, 28},
    };
    for (const GeneralCase& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingCanvas canvas(c.device.dpi, c.device.width, c.device.height);
        LaserReport report;
        report.PrintGeneralPage(canvas, PrintedExample());

        std::vector<ExpectedText> texts = LaserGeneralTop("Regresión", "4");
        AppendLevels(texts, c.blocks, 20, 55, 55, 10);
        AppendData(texts, c.dataRow, 55, 130, 10);
        texts.push_back(Right(58, "VALDEX v.w. 3.1", 10));
        ExpectPage(canvas, c.device, texts, {{5}, {59}});
        EXPECT_EQ(canvas.JobEvents(),
                  (std::vector<CanvasCall::Kind>{CanvasCall::Begin, CanvasCall::End}));
    }
}

// A few positions worked out by hand, so the expectations above are not
// only the layout restated.
TEST(LaserReportTest, PixelPositionsAtBothResolutions) {
    // 600 dpi: "Desarrollo" 10 x 50 px wide; "Información General" 19 x 41;
    // the footer 15 x 41. 300 dpi: 10 x 25, 19 x 20, 15 x 20.
    const Spot spots[] = {
        {k600Dpi, 0, 2150, 300},   {k600Dpi, 2, 2010, 700},   {k600Dpi, 3, 540, 800},
        {k600Dpi, 13, 660, 2000},  {k600Dpi, 25, 3300, 2000}, {k300Dpi, 0, 1075, 150},
        {k300Dpi, 2, 1010, 350},   {k300Dpi, 3, 540, 400},    {k300Dpi, 13, 660, 1000},
        {k300Dpi, 19, 1980, 1000}, {k300Dpi, 22, 660, 1150},  {k300Dpi, 25, 1320, 1150},
    };
    for (const Spot& spot : spots) {
        RecordingCanvas canvas(spot.device.dpi, spot.device.width, spot.device.height);
        LaserReport report;
        report.PrintGeneralPage(canvas, PrintedExample());
        ExpectSpot(canvas, spot);
        const CanvasCall footer = canvas.Texts().back();
        EXPECT_EQ(footer.x, spot.device.width - 15 * canvas.CharWidth(10));
        EXPECT_EQ(footer.y, 58 * spot.device.dpi / 6);
    }
}

TEST(LaserReportTest, UnitsComeFromTheTwelvePointFont) {
    for (const Device& device : {k300Dpi, k600Dpi}) {
        RecordingCanvas canvas(device.dpi, device.width, device.height);
        LaserReport report;
        report.PrintGeneralPage(canvas, PrintedExample());
        EXPECT_EQ(report.Units().LineUnit, device.dpi / 6);
        EXPECT_EQ(report.Units().ColumnUnit, 12);
        EXPECT_EQ(report.Units().PageWidth, device.width);
        EXPECT_EQ(report.Units().HeaderFontSize, 12);
        EXPECT_EQ(report.Units().BodyFontSize, 10);
    }
}

const ResultRowTexts kLaserResultRows{
    {
        "Pendiente = 2.0233333",
        "Límite Superior del Intervalo de Confianza = 2.107557",
        "Límite Inferior del Intervalo de Confianza = 1.9391097",
        "Ordenada al Origen = -0.0333333",
        "Límite Superior del Intervalo de Confianza de la Ordenada al Origen = 0.197323",
        "Límite Inferior del Intervalo de Confianza de la Ordenada al Origen = -0.263989",
        "Desviación Estándar de Regresión = 0.146401",
        "Coeficiente de Variación = 2.91346",
        "Coeficiente de Determinación = 0.99652183",
    },
    "Desviación Estándar de Ordenada al Origen = 0.103521",
    "Límite de Detección ",
    "Límite de Cuantificación ",
};

std::vector<ExpectedText> LaserResultsTexts(const ResultsCase& c) {
    std::vector<ExpectedText> out = LaserHeader();
    out.push_back(Centre(
        11, std::string("Variabilidad : Curva de Calibración con Respecto a \"") + c.type + "\"",
        10));
    AppendResultRows(out, kLaserResultRows, c, 45, 10, 2);
    const std::vector<ExpectedText> tail{
        Col(45, 45, "Nombre del método: Método A", 10),
        Col(46, 45, "Nombre del Analista: Ana", 10),
        Col(47, 45, "Unidades de la cantidad adicionada: mg", 10),
        Col(48, 45, "Nombre de la propiedad medida: Área", 10),
        Col(49, 45, "Fecha: 01/02/2000", 10),
        Right(58, "VALDEX v.w. 3.1", 10),
    };
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
}

TEST(LaserReportTest, ResultsPageByCalculationType) {
    const ResultsCase cases[] = {
        {"Regresión", false, true, "0.238776", "0.723565"},
        {"Ordenada al Origen", true, true, "0.16884", "0.511638"},
        // Only the exact text counts; other types have no limits to show.
        {"ordenada al origen", false, false, "", ""},
        {"", false, false, "", ""},
    };
    for (const Device& device : {k300Dpi, k600Dpi}) {
        for (const ResultsCase& c : cases) {
            SCOPED_TRACE(std::string(c.type) + " at " + std::to_string(device.dpi));
            RecordingCanvas canvas(device.dpi, device.width, device.height);
            LaserReport report;
            report.PrintResultsPage(canvas, PrintedExample(c.type));
            ExpectPage(canvas, device, LaserResultsTexts(c), {{5}, {59}});
            EXPECT_EQ(canvas.JobEvents(),
                      (std::vector<CanvasCall::Kind>{CanvasCall::Begin, CanvasCall::End}));
        }
    }
}

TEST(LaserReportTest, ResultsPageRecomputesIntoItsOwnResult) {
    RecordingCanvas canvas(600, 4800, 6300);
    LaserReport report;
    EXPECT_EQ(report.Result().Slope, 0);
    CalibrationStudy study = PrintedExample();
    report.PrintResultsPage(canvas, study);
    EXPECT_NEAR(report.Result().Slope, 2.0233333, 1e-7);
    // The study changed since: the next print shows the new values.
    for (ResponseRow& row : study.Responses)
        row.Response = std::to_string(std::stod(row.Response) * 2);
    RecordingCanvas again(600, 4800, 6300);
    report.PrintResultsPage(again, study);
    EXPECT_NEAR(report.Result().Slope, 4.0466667, 1e-6);
    EXPECT_EQ(again.Texts()[3].text, "Pendiente = 4.0466667");
}

TEST(LaserReportTest, FailingCalculationBeginsNoJob) {
    CalibrationStudy empty = PrintedExample();
    empty.Responses[4].Response = "";
    CalibrationStudy twoPoints = MakeStudy({{"1", "1"}, {"2", "1"}}, {"1", "2"});
    for (const CalibrationStudy& study : {empty, twoPoints}) {
        RecordingCanvas canvas(600, 4800, 6300);
        LaserReport report;
        EXPECT_THROW(report.PrintResultsPage(canvas, study), AppError);
        EXPECT_TRUE(canvas.Calls().empty());
    }
}

TEST(LaserReportTest, ResultsPageUsesTheDecimalSeparator) {
    RecordingCanvas canvas(600, 4800, 6300);
    LaserReport report(',');
    CalibrationStudy study = PrintedExample();
    for (ResponseRow& row : study.Responses)
        row.Response[1] = ',';
    report.PrintResultsPage(canvas, study);
    EXPECT_EQ(canvas.Texts()[3].text, "Pendiente = 2,0233333");
}

} // namespace
} // namespace valdex
