#include "report/laser_report.h"

#include <string>

namespace valdex {

namespace {

constexpr int kLaserBodyFontSize = 10;
constexpr int kLeftColumn = 45;
constexpr int kFooterRow = 58;
constexpr int kFooterRuleRow = 59;
// Further sheets of page 1 give the method name on the row under the header's
// rule, and the tables go on at row 7, where page 1 has its subtitle.
constexpr int kMethodRowFurther = 6;

// The level count stands after twenty-four spaces.
constexpr char kLevelCountIndent[] = "                        ";
static_assert(sizeof kLevelCountIndent == 24 + 1);

using S = CalibrationStudy;
constexpr BodyLine kGeneralLines[] = {
    {7, BodyLine::Centred, "Información General"},
    {8, BodyLine::LeftColumn, "Variabilidad : Curva de Calibración \"", &S::CalculationType, "\""},
    {9, BodyLine::LeftColumn, "Nombre del Método: ", &S::MethodName},
    {10, BodyLine::LeftColumn, "Nombre del Analista: ", &S::AnalystName},
    {11, BodyLine::LeftColumn, "Fecha: ", &S::StudyDate},
    {12, BodyLine::LeftColumn, "Unidades de la cantidad adicionada:"},
    {13, BodyLine::LeftColumn, "", &S::AddedQuantityUnits},
    {14, BodyLine::LeftColumn, "Nombre de la propiedad medida:"},
    {15, BodyLine::LeftColumn, "", &S::MeasuredProperty},
    {17, BodyLine::LeftColumn, "Número de niveles de cantidad adicionada:"},
    {18, BodyLine::LeftColumn, kLevelCountIndent, &S::LevelCount},
};

constexpr GeneralPageDesign kGeneralPage{.Lines = kGeneralLines,
                                         .LeftColumn = kLeftColumn,
                                         .Levels = {20, 55, 55},
                                         .DataBelowLevels = 5,
                                         .LabelColumn = 55,
                                         .ResponseColumn = 130};

// Page 2 does not share page 1's labels: a lower-case "método", and each
// value on its label's line.
constexpr BodyLine kResultsTitle[] = {
    {11, BodyLine::Centred, "Variabilidad : Curva de Calibración con Respecto a \"",
     &S::CalculationType, "\""},
};
constexpr BodyLine kResultsIdentification[] = {
    {45, BodyLine::LeftColumn, "Nombre del método: ", &S::MethodName},
    {46, BodyLine::LeftColumn, "Nombre del Analista: ", &S::AnalystName},
    {47, BodyLine::LeftColumn, "Unidades de la cantidad adicionada: ", &S::AddedQuantityUnits},
    {48, BodyLine::LeftColumn, "Nombre de la propiedad medida: ", &S::MeasuredProperty},
    {49, BodyLine::LeftColumn, "Fecha: ", &S::StudyDate},
};

constexpr ResultLabels kResultLabels{
    "Pendiente = ",
    "Límite Superior del Intervalo de Confianza = ",
    "Límite Inferior del Intervalo de Confianza = ",
    "Ordenada al Origen = ",
    "Límite Superior del Intervalo de Confianza de la Ordenada al Origen = ",
    "Límite Inferior del Intervalo de Confianza de la Ordenada al Origen = ",
    "Desviación Estándar de Regresión = ",
    "Coeficiente de Variación = ",
    "Coeficiente de Determinación = ",
    "Desviación Estándar de Ordenada al Origen = ",
    "Límite de Detección ",
    "Límite de Cuantificación ",
};

} // namespace

// The tables may fill a sheet down to the row above the footer; the footer
// and its rule stand at the same rows on every sheet.
class LaserReport::Sheets : public SheetFlow {
public:
    Sheets(LaserReport& report, PageWriter& writer, const CalibrationStudy& study, int sheets)
        : SheetFlow(writer, study, sheets, kLeftColumn, kMethodRowFurther), report_(report) {}
    int LastBodyRow() const override { return kFooterRow - 1; }

protected:
    int FooterRow(int) const override { return kFooterRow; }
    int RuleRow(int) const override { return kFooterRuleRow; }
    void DrawHeader(PageWriter& writer) override { report_.DrawHeader(writer); }

private:
    LaserReport& report_;
};

void LaserReport::PrintGeneralPage(PageCanvas& canvas, const CalibrationStudy& study) {
    LaserGeneralPage(canvas, study);
}

void LaserReport::PrintResultsPage(PageCanvas& canvas, const CalibrationStudy& study) {
    calculator_.ComputeCalibration(study, result_);
    LaserResultsPage(canvas, study, result_);
}

void LaserReport::LaserPageSetup(PageCanvas& canvas) {
    units_ = BeginReportJob(canvas, kLaserBodyFontSize);
    PageWriter writer(canvas, units_);
    DrawHeader(writer);
}

void LaserReport::DrawHeader(PageWriter& writer) {
    writer.Centred(3, "Desarrollo");
    writer.Centred(4, "Límite de Detección y Cuantificación del Sistema");
    writer.Rule(5);
}

void LaserReport::DrawFooter(PageWriter& writer) {
    writer.RightAligned(kFooterRow, kReportFooter);
    writer.Rule(kFooterRuleRow);
}

void LaserReport::LaserPageFooter(PageCanvas& canvas) {
    PageWriter writer(canvas, units_);
    DrawFooter(writer);
}

void LaserReport::LaserNextPage(PageCanvas& canvas) {
    canvas.NewPage();
    SelectReportFont(canvas, units_.HeaderFontSize);
    PageWriter writer(canvas, units_);
    DrawHeader(writer);
    SelectReportFont(canvas, units_.BodyFontSize);
}

int LaserReport::FooterRow() {
    return kFooterRow;
}

int LaserReport::LastBodyRow() {
    return kFooterRow - 1;
}

void LaserReport::LaserGeneralPage(PageCanvas& canvas, const CalibrationStudy& study) {
    LaserPageSetup(canvas);
    RunJobBody(canvas, [&] { DrawGeneralBody(canvas, study); });
}

void LaserReport::DrawGeneralBody(PageCanvas& canvas, const CalibrationStudy& study) {
    DrawNumberedSheets(canvas, [&](PageCanvas& target, int sheets) {
        SelectReportFont(target, units_.BodyFontSize);
        PageWriter writer(target, units_);
        Sheets flow(*this, writer, study, sheets);
        DrawGeneralPage(writer, study, kGeneralPage, flow);
    });
}

void LaserReport::LaserResultsPage(PageCanvas& canvas, const CalibrationStudy& study,
                                   CalibrationResult result) {
    LaserPageSetup(canvas);
    RunJobBody(canvas, [&] { DrawResultsBody(canvas, study, result); });
}

void LaserReport::DrawResultsBody(PageCanvas& canvas, const CalibrationStudy& study,
                                  const CalibrationResult& result) {
    SelectReportFont(canvas, units_.BodyFontSize);
    PageWriter writer(canvas, units_);
    DrawBodyLines(writer, kLeftColumn, kResultsTitle, study);
    DrawResultRows(writer, kLeftColumn, kResultLabels, study, result,
                   calculator_.DecimalSeparator(), 2);
    DrawBodyLines(writer, kLeftColumn, kResultsIdentification, study);
    DrawFooter(writer);
}

} // namespace valdex
