#include "report/laser_report.h"

#include <string>

namespace valdex {

namespace {

constexpr int kLaserBodyFontSize = 10;
constexpr int kLeftColumn = 45;
constexpr int kFooterRow = 58;
constexpr int kFooterRuleRow = 59;
constexpr LevelsTableLayout kLevelsTable{20, 55, 55};
// Further pages repeat the heading row where page 1 has its subtitle.
constexpr DataTableLayout kDataTable{25, 55, 130, 7};

const std::string kQuote = "\"";

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

// The data table may fill the page down to the row above the footer; the
// footer and its rule stand at the same rows on every page.
class LaserReport::DataPages : public DataTablePages {
public:
    DataPages(LaserReport& report, PageWriter& writer) : report_(report), writer_(writer) {}
    int LastDataRow() const override { return kFooterRow - 1; }
    void FinishPage(int) override { report_.DrawFooter(writer_); }
    void StartPage() override {
        StartFurtherPage(writer_, [this](PageWriter& writer) { report_.DrawHeader(writer); });
    }

private:
    LaserReport& report_;
    PageWriter& writer_;
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

void LaserReport::LaserGeneralPage(PageCanvas& canvas, const CalibrationStudy& study) {
    LaserPageSetup(canvas);
    RunJobBody(canvas, [&] { DrawGeneralBody(canvas, study); });
}

void LaserReport::DrawGeneralBody(PageCanvas& canvas, const CalibrationStudy& study) {
    SelectReportFont(canvas, units_.BodyFontSize);
    PageWriter writer(canvas, units_);
    writer.Centred(7, "Información General");
    writer.AtColumn(8, kLeftColumn,
                    "Variabilidad : Curva de Calibración " + kQuote + study.CalculationType +
                        kQuote);
    writer.AtColumn(9, kLeftColumn, "Nombre del Método: " + study.MethodName);
    writer.AtColumn(10, kLeftColumn, "Nombre del Analista: " + study.AnalystName);
    writer.AtColumn(11, kLeftColumn, "Fecha: " + study.StudyDate);
    writer.AtColumn(12, kLeftColumn, "Unidades de la cantidad adicionada:");
    writer.AtColumn(13, kLeftColumn, study.AddedQuantityUnits);
    writer.AtColumn(14, kLeftColumn, "Nombre de la propiedad medida:");
    writer.AtColumn(15, kLeftColumn, study.MeasuredProperty);
    writer.AtColumn(17, kLeftColumn, "Número de niveles de cantidad adicionada:");
    writer.AtColumn(18, kLeftColumn, std::string(24, ' ') + study.LevelCount);

    const int levels = PrintedLevelCount(study);
    const int extraRows = DrawLevelsTable(writer, study, levels, kLevelsTable);
    const long long responses = PrintedResponseCount(study, levels);
    DataTableLayout data = kDataTable;
    data.FirstRow += extraRows;
    DataPages pages(*this, writer);
    DrawDataTable(writer, study, responses, data, pages);
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
    writer.Centred(11, "Variabilidad : Curva de Calibración con Respecto a " + kQuote +
                           study.CalculationType + kQuote);
    DrawResultRows(writer, kLeftColumn, kResultLabels, study, result,
                   calculator_.DecimalSeparator(), 2);

    writer.AtColumn(45, kLeftColumn, "Nombre del método: " + study.MethodName);
    writer.AtColumn(46, kLeftColumn, "Nombre del Analista: " + study.AnalystName);
    writer.AtColumn(47, kLeftColumn,
                    "Unidades de la cantidad adicionada: " + study.AddedQuantityUnits);
    writer.AtColumn(48, kLeftColumn, "Nombre de la propiedad medida: " + study.MeasuredProperty);
    writer.AtColumn(49, kLeftColumn, "Fecha: " + study.StudyDate);
    DrawFooter(writer);
}

} // namespace valdex
