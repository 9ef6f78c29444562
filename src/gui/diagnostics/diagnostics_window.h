#pragma once
// The diagnostics window: the calibration and residual plots ("Gráficos"),
// the tests as text ("Pruebas"), a field to read a sample off the line
// ("Interpolar"), and "Imprimir…" and "Exportar…" for the page and the
// plots. A snapshot of one run of "Diagnóstico de la calibración", like a
// results window; its closing is a results window's closing.

#include "app/child_window.h"
#include "app/main_window_view.h"
#include "plots/plot_data.h"

#include <QPrinter>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace valdex {

class DialogService;
class ErrorBox;

// Every plot of the diagnostics, drawn again at every size of the window.
class PlotsView : public QWidget {
    Q_OBJECT
public:
    PlotsView(PlotData data, char decimalSeparator, QWidget* parent = nullptr);
    const PlotData& Data() const { return data_; }
    // New data (another weight chosen): drawn at the next paint.
    void SetData(PlotData data);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PlotData data_;
    char separator_;
};

class DiagnosticsWindow : public ChildWindow {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 12;

    // `errors` is the general error handler: every button runs inside it.
    DiagnosticsWindow(DiagnosticsWindowContent content, DialogService& dialogs, ErrorBox& errors,
                      QWidget* parent = nullptr);

    const DiagnosticsWindowContent& Content() const { return content_; }
    QTabWidget* Tabs() const { return tabs_; }
    PlotsView* Plots() const { return plots_; }
    QPlainTextEdit* Tests() const { return tests_; }
    QLineEdit* emuestra() const { return sample_; }
    QPushButton* binterpolar() const { return interpolate_; }
    QPlainTextEdit* SampleResult() const { return sampleResult_; }
    QPushButton* bimprimir() const { return print_; }
    QPushButton* bexportar() const { return export_; }
    // The weight selector: the recommended weight marked, "ninguna" chosen.
    QComboBox* cpeso() const { return weight_; }

    // The file name the export dialog proposes: the study's, or
    // "diagnostico.pdf" for a study never saved.
    QString ExportProposal() const;
    // The PDF file that printing to a file proposes: beside the study.
    QString StudyPdfName() const;

public slots:
    // The sample's responses read off the line, or the error box.
    void binterpolarClick();
    // The print dialog, then the diagnostics page on the chosen printer.
    void bimprimirClick();
    // The export dialog, then the chosen file (PDF page, SVG or PNG plots).
    void bexportarClick();
    // The tests and the sample's reading under the weight chosen.
    void cpesoChange(int index);

signals:
    // The page went to the printer; the plots or the page went to the file.
    void printed();
    void exported(const QString& file);

private:
    // The reading's box as high as its lines.
    void FitSampleResult();

    DiagnosticsWindowContent content_;
    DialogService& dialogs_;
    ErrorBox& errors_;
    QPrinter printer_;
    QString lastExport_;
    QTabWidget* tabs_;
    PlotsView* plots_;
    QPlainTextEdit* tests_;
    QLineEdit* sample_;
    QPushButton* interpolate_;
    QPlainTextEdit* sampleResult_;
    QPushButton* print_;
    QPushButton* export_;
    QComboBox* weight_;
};

} // namespace valdex
