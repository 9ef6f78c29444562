#include "report/deskjet_report.h"

#include <string>

namespace valdex {

namespace {

constexpr int kDeskjetBodyFontSize = 11;
constexpr int kLeftColumn = 2;
constexpr LevelsTableLayout kLevelsTable{27, 2, 35};
// Further pages repeat the heading row where page 1 has its subtitle.
constexpr DataTableLayout kDataTable{32, 2, 37, 10};
// The footer stands six rows below the row that follows the last data row,
// its rule on the row after it.
constexpr int kFooterBelowData = 7;
constexpr int kRuleBelowData = 8;

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

// The data table may go down as far as leaves room for the footer and its
// rule on the page; each page's footer follows its own last data row.
class DeskjetReport::DataPages : public DataTablePages {
public:
    DataPages(DeskjetReport& report, PageWriter& writer) : report_(report), writer_(writer) {}
    int LastDataRow() const override {
        const int last = writer_.LastRowOnPage();
        return last > kRuleBelowData ? last - kRuleBelowData : 0;
    }
    void FinishPage(int lastUsedRow) override {
        writer_.RightAligned(lastUsedRow + kFooterBelowData, kReportFooter);
        writer_.Rule(lastUsedRow + kRuleBelowData);
    }
    void StartPage() override {
        StartFurtherPage(writer_, [this](PageWriter& writer) { report_.DrawHeader(writer); });
    }

private:
    DeskjetReport& report_;
    PageWriter& writer_;
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
    SelectReportFont(canvas, units_.BodyFontSize);
    PageWriter writer(canvas, units_);
    writer.Centred(10, "INFORMACIÓN GENERAL");
    writer.AtColumn(12, kLeftColumn, "VARIABILIDAD " + study.CalculationType);
    writer.AtColumn(14, kLeftColumn, "Nombre del Método: " + study.MethodName);
    writer.AtColumn(15, kLeftColumn, "Nombre del Analista: " + study.AnalystName);
    writer.AtColumn(16, kLeftColumn, "Fecha: " + study.StudyDate);
    writer.AtColumn(17, kLeftColumn, "Unidades de la cantidad adicionada:");
    writer.AtColumn(18, kLeftColumn, study.AddedQuantityUnits);
    writer.AtColumn(19, kLeftColumn, "Nombre de la propiedad medida:");
    writer.AtColumn(20, kLeftColumn, study.MeasuredProperty);
    writer.AtColumn(24, kLeftColumn, "Número de niveles de cantidad adicionada:");
    writer.AtColumn(25, kLeftColumn, study.LevelCount);

    const int levels = PrintedLevelCount(study);
    const int extraRows = DrawLevelsTable(writer, study, levels, kLevelsTable);
    const long long responses = PrintedResponseCount(study, levels);
    DataTableLayout data = kDataTable;
    data.FirstRow += extraRows;
    DataPages pages(*this, writer);
    DrawDataTable(writer, study, responses, data, pages);
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
    writer.Centred(11, "Variabilidad con respecto a " + study.CalculationType);
    const int r = DrawResultRows(writer, kLeftColumn, kResultLabels, study, result,
                                 calculator_.DecimalSeparator(), 1);
    writer.RightAligned(r + 11, kReportFooter);
    writer.Rule(r + 13);
}

} // namespace valdex
