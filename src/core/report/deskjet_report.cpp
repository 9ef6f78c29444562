#include "report/deskjet_report.h"

#include <string>

namespace valdex {

namespace {

constexpr int kDeskjetBodyFontSize = 11;
constexpr int kLeftColumn = 2;
// The footer stands six rows below the row that follows the last data row,
// its rule on the row after it.
constexpr int kFooterBelowData = 7;
constexpr int kRuleBelowData = 8;
// Further sheets of page 1 give the method name on the row under the header's
// rule, and the tables go on at row 10, where page 1 has its subtitle.
constexpr int kMethodRowFurther = 9;

using S = CalibrationStudy;
constexpr BodyLine kGeneralLines[] = {
    {10, BodyLine::Centred, "INFORMACIÓN GENERAL"},
    {12, BodyLine::LeftColumn, "VARIABILIDAD ", &S::CalculationType},
    {14, BodyLine::LeftColumn, "Nombre del Método: ", &S::MethodName},
    {15, BodyLine::LeftColumn, "Nombre del Analista: ", &S::AnalystName},
    {16, BodyLine::LeftColumn, "Fecha: ", &S::StudyDate},
    {17, BodyLine::LeftColumn, "Unidades de la cantidad adicionada:"},
    {18, BodyLine::LeftColumn, "", &S::AddedQuantityUnits},
    {19, BodyLine::LeftColumn, "Nombre de la propiedad medida:"},
    {20, BodyLine::LeftColumn, "", &S::MeasuredProperty},
    {24, BodyLine::LeftColumn, "Número de niveles de cantidad adicionada:"},
    {25, BodyLine::LeftColumn, "", &S::LevelCount},
};

constexpr GeneralPageDesign kGeneralPage{.Lines = kGeneralLines,
                                         .LeftColumn = kLeftColumn,
                                         .Levels = {27, 2, 35},
                                         .DataBelowLevels = 5,
                                         .LabelColumn = 2,
                                         .ResponseColumn = 37};

constexpr BodyLine kResultsTitle[] = {
    {11, BodyLine::Centred, "Variabilidad con respecto a ", &S::CalculationType},
};

constexpr ResultLabels kResultLabels{
    "PENDIENTE = ",
    "LÍMITE SUPERIOR DEL INTERVALO DE CONFIANZA = ",
    "LÍMITE INFERIOR DEL INTERVALO DE CONFIANZA = ",
    "ORDENADA AL ORIGEN = ",
    "LÍMITE SUPERIOR DEL INTERVALO DE CONFIANZA DE LA ORDENADA AL ORIGEN = ",
    "LÍMITE INFERIOR DEL INTERVALO DE CONFIANZA DE LA ORDENADA AL ORIGEN = ",
    "DESVIACIÓN ESTÁNDAR DE REGRESIÓN = ",
    "COEFICIENTE DE VARIACIÓN = ",
    "COEFICIENTE DE DETERMINACIÓN = ",
    "DESVIACIÓN ESTÁNDAR DE ORDENADA AL ORIGEN = ",
    "LÍMITE DE DETECCIÓN ",
    "LÍMITE DE CUANTIFICACIÓN ",
};

} // namespace

// The tables may go down as far as leaves room for the footer and its rule
// on the sheet; each sheet's footer follows its own last used row.
class DeskjetReport::Sheets : public SheetFlow {
public:
    Sheets(DeskjetReport& report, PageWriter& writer, const CalibrationStudy& study, int sheets)
        : SheetFlow(writer, study, sheets, kLeftColumn, kMethodRowFurther), report_(report) {}
    int LastBodyRow() const override {
        const int last = writer_.LastRowOnPage();
        return last > kRuleBelowData ? last - kRuleBelowData : 0;
    }

protected:
    int FooterRow(int lastUsedRow) const override { return lastUsedRow + kFooterBelowData; }
    int RuleRow(int lastUsedRow) const override { return lastUsedRow + kRuleBelowData; }
    void DrawHeader(PageWriter& writer) override { report_.DrawHeader(writer); }

private:
    DeskjetReport& report_;
};

void DeskjetReport::PrintGeneralPage(PageCanvas& canvas, const CalibrationStudy& study) {
    DeskjetGeneralPage(canvas, study);
}

void DeskjetReport::PrintResultsPage(PageCanvas& canvas, const CalibrationStudy& study) {
    calculator_.ComputeCalibration(study, result_);
    DeskjetResultsPage(canvas, study, result_);
}

void DeskjetReport::DeskjetPageSetup(PageCanvas& canvas) {
    units_ = BeginReportJob(canvas, kDeskjetBodyFontSize);
    PageWriter writer(canvas, units_);
    DrawHeader(writer);
}

void DeskjetReport::DrawHeader(PageWriter& writer) {
    // Row 5 is the licensee's; we have no licensee name, so it stays empty.
    writer.Centred(6, "Desarrollo");
    writer.Centred(7, "LÍMITE DE DETECCIÓN Y CUANTIFICACIÓN DEL SISTEMA");
    writer.Rule(8);
}

void DeskjetReport::DeskjetGeneralPage(PageCanvas& canvas, const CalibrationStudy& study) {
    DeskjetPageSetup(canvas);
    RunJobBody(canvas, [&] { DrawGeneralBody(canvas, study); });
}

void DeskjetReport::DrawGeneralBody(PageCanvas& canvas, const CalibrationStudy& study) {
    DrawNumberedSheets(canvas, [&](PageCanvas& target, int sheets) {
        SelectReportFont(target, units_.BodyFontSize);
        PageWriter writer(target, units_);
        Sheets flow(*this, writer, study, sheets);
        DrawGeneralPage(writer, study, kGeneralPage, flow);
    });
}

void DeskjetReport::DeskjetResultsPage(PageCanvas& canvas, const CalibrationStudy& study,
                                       CalibrationResult result) {
    DeskjetPageSetup(canvas);
    RunJobBody(canvas, [&] { DrawResultsBody(canvas, study, result); });
}

void DeskjetReport::DrawResultsBody(PageCanvas& canvas, const CalibrationStudy& study,
                                    const CalibrationResult& result) {
    SelectReportFont(canvas, units_.BodyFontSize);
    PageWriter writer(canvas, units_);
    DrawBodyLines(writer, kLeftColumn, kResultsTitle, study);
    const int r = DrawResultRows(writer, kLeftColumn, kResultLabels, study, result,
                                 calculator_.DecimalSeparator(), 1);
    writer.RightAligned(r + 11, kReportFooter);
    writer.Rule(r + 13);
}

} // namespace valdex
