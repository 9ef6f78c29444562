#include "diagnostics/diagnostics_window.h"

#include "app/context_help.h"
#include "app/dialog_service.h"
#include "app/sample_field.h"
#include "app/text_area.h"
#include "app/weight_choice.h"
#include "base/app_error.h"
#include "base/error_handler.h"
#include "diagnostics/diagnostics_text.h"
#include "plots/diagnostics_plots.h"
#include "plots/plot_export.h"
#include "plots/spread_plots.h"
#include "report/qt_page_canvas.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

namespace valdex {

namespace {

QPushButton* Button(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAccessibleName(caption);
    button->setAutoDefault(false);
    return button;
}

} // namespace

PlotsView::PlotsView(PlotData data, char sep, QWidget* parent) : QWidget(parent), separator_(sep) {
    setObjectName(QStringLiteral("graficos"));
    setAccessibleName(QStringLiteral("Gráficos de la calibración y de los residuos"));
    SetData(std::move(data));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    // The plots' own fonts, not the frame's bold one.
    QFont plain = font();
    plain.setBold(false);
    setFont(plain);
    // Four plots side by side in pairs: below this their texts overlap; the
    // scroll area scrolls instead.
    setMinimumSize(720, 560);
}

void PlotsView::SetData(PlotData data) {
    data_ = std::move(data);
    QString description = QStringLiteral("Curva de calibración con sus bandas al 95 %, "
                                         "residuos%1, probabilidad normal y dispersión por "
                                         "nivel de %2 respuestas")
                              .arg(data_.weight.empty() ? QStringLiteral(" estandarizados")
                                                        : QStringLiteral(" ponderados (") +
                                                              QString::fromStdString(data_.weight) +
                                                              QStringLiteral(")"))
                              .arg(data_.N);
    if (data_.a && data_.b)
        description += QStringLiteral("; ") +
                       QString::fromStdString(EquationText(*data_.a, *data_.b, separator_));
    setAccessibleDescription(description);
    update();
}

void PlotsView::paintEvent(QPaintEvent*) {
    // No exception may leave a paint event: a window whose painter cannot
    // begin stays blank until its next paint.
    try {
        QtPageCanvas canvas(static_cast<QPaintDevice&>(*this));
        canvas.BeginDoc();
        DrawAllDiagnosticsPlots(canvas, data_,
                                {0, 0, static_cast<double>(width()), static_cast<double>(height())},
                                separator_);
        canvas.EndDoc();
    } catch (const std::exception&) {
    }
}

DiagnosticsWindow::DiagnosticsWindow(DiagnosticsWindowContent content, DialogService& dialogs,
                                     ErrorBox& errors, QWidget* parent)
    : ChildWindow(parent), content_(std::move(content)), dialogs_(dialogs), errors_(errors),
      printer_(QPrinter::HighResolution) {
    printer_.setPageSize(DiagnosticsPaper(QPrinterInfo::defaultPrinter()));
    setObjectName(QStringLiteral("Fdiagnostico"));
    const QString caption = QString::fromStdString(content_.caption);
    setWindowTitle(caption);
    setAccessibleName(caption);
    setProperty(kHelpContextProperty, kHelpContext);
    const char sep = content_.decimalSeparator;

    auto* body = new QWidget(this);
    tabs_ = new QTabWidget(body);
    tabs_->setObjectName(QStringLiteral("pestanas"));
    plots_ = new PlotsView(MakePlotData(content_.study, content_.diagnostics), sep, tabs_);
    // The plots fill what the window gives them and scroll below their
    // least size, so that a tiled window never hides an axis or a legend.
    auto* plotsArea = new QScrollArea(tabs_);
    plotsArea->setObjectName(QStringLiteral("desplazamientoGraficos"));
    plotsArea->setWidgetResizable(true);
    plotsArea->setFrameShape(QFrame::NoFrame);
    plotsArea->setWidget(plots_);
    tabs_->addTab(plotsArea, QStringLiteral("Gráficos"));
    tests_ = MakeReadOnlyTextArea(QStringLiteral("memo"),
                                  QStringLiteral("Pruebas de la curva de calibración"), this);
    // The tables are aligned in columns of characters.
    QFont fixed(QStringLiteral("Liberation Mono"));
    fixed.setStyleHint(QFont::Monospace);
    fixed.setPixelSize(12);
    tests_->setFont(fixed);
    tests_->setLineWrapMode(QPlainTextEdit::NoWrap);
    tests_->setProperty(kHelpContextProperty, kHelpContext);
    SetTextAreaLines(*tests_, ToLines(DiagnosticsLines(content_.diagnostics, sep)));
    tabs_->addTab(tests_, QStringLiteral("Pruebas"));

    auto* label = new QLabel(QStringLiteral("&Respuestas de la muestra:"), body);
    sample_ = new QLineEdit(body);
    sample_->setObjectName(QStringLiteral("emuestra"));
    sample_->setAccessibleName(QStringLiteral("Respuestas de la muestra"));
    sample_->setToolTip(
        QStringLiteral("Una o más respuestas de la muestra, separadas por espacios"));
    label->setBuddy(sample_);
    interpolate_ = Button(QStringLiteral("binterpolar"), QStringLiteral("Interpolar"), body);
    sampleResult_ = MakeReadOnlyTextArea(QStringLiteral("mmuestra"),
                                         QStringLiteral("Lectura de la muestra"), this);
    sampleResult_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    FitSampleResult();
    print_ = Button(QStringLiteral("bimprimir"), QStringLiteral("Imprimir…"), body);
    export_ = Button(QStringLiteral("bexportar"), QStringLiteral("Exportar…"), body);

    auto* weightLabel = new QLabel(QStringLiteral("&Ponderación:"), body);
    weight_ = new QComboBox(body);
    weight_->setObjectName(QStringLiteral("cpeso"));
    weight_->setAccessibleName(QStringLiteral("Ponderación"));
    weight_->setToolTip(QStringLiteral("Peso de la recta de las pruebas y de la muestra"));
    for (const WeightChoice& choice : WeightChoices(content_.diagnostics))
        weight_->addItem(QString::fromStdString(choice.label), static_cast<int>(choice.scheme));
    weightLabel->setBuddy(weight_);

    auto* sampleRow = new QHBoxLayout;
    sampleRow->addWidget(weightLabel);
    sampleRow->addWidget(weight_);
    sampleRow->addWidget(label);
    sampleRow->addWidget(sample_, 1);
    sampleRow->addWidget(interpolate_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(print_);
    buttons->addWidget(export_);
    auto* layout = new QVBoxLayout(body);
    layout->addWidget(tabs_, 1);
    layout->addLayout(sampleRow);
    layout->addWidget(sampleResult_);
    layout->addLayout(buttons);
    setWidget(body);

    connect(interpolate_, &QPushButton::clicked, this, &DiagnosticsWindow::binterpolarClick);
    connect(sample_, &QLineEdit::returnPressed, this, &DiagnosticsWindow::binterpolarClick);
    connect(print_, &QPushButton::clicked, this, &DiagnosticsWindow::bimprimirClick);
    connect(weight_, &QComboBox::currentIndexChanged, this, &DiagnosticsWindow::cpesoChange);
    connect(export_, &QPushButton::clicked, this, &DiagnosticsWindow::bexportarClick);
}

QString DiagnosticsWindow::ExportProposal() const {
    if (!lastExport_.isEmpty()) return lastExport_;
    // The caption is the prefix and the study window's caption: its file's
    // path, or "Nuevo".
    const std::string prefix = kDiagnosticsCaptionPrefix;
    const std::string& caption = content_.caption;
    const QFileInfo file(QString::fromStdString(
        caption.compare(0, prefix.size(), prefix) == 0 ? caption.substr(prefix.size()) : caption));
    if (file.suffix().compare(QStringLiteral("w8c"), Qt::CaseInsensitive) != 0)
        return QStringLiteral("diagnostico.pdf");
    return file.dir().filePath(file.completeBaseName() + QStringLiteral("-diagnostico.pdf"));
}

void DiagnosticsWindow::binterpolarClick() {
    RunCommand(errors_, [this] {
        const std::vector<std::string> lines =
            InterpolateSample(content_, sample_->text().toStdString());
        SetTextAreaLines(*sampleResult_, ToLines(lines));
        FitSampleResult();
    });
}

void DiagnosticsWindow::FitSampleResult() {
    // Every line of the reading shows; before the first reading the box
    // leaves the room to the plots.
    const int lines = std::max(2, sampleResult_->document()->lineCount());
    const int margins = 2 * (sampleResult_->frameWidth() +
                             static_cast<int>(sampleResult_->document()->documentMargin()));
    sampleResult_->setFixedHeight(sampleResult_->fontMetrics().lineSpacing() * lines + margins + 2);
}

QString DiagnosticsWindow::StudyPdfName() const {
    const QString proposal = ExportProposal();
    if (ExportFormatOf(proposal) == ExportFormat::Pdf) return proposal;
    return QFileInfo(proposal).dir().filePath(QFileInfo(proposal).completeBaseName() +
                                              QStringLiteral(".pdf"));
}

void DiagnosticsWindow::cpesoChange(int index) {
    RunCommand(errors_, [this, index] {
        ChooseWeight(content_, static_cast<WeightScheme>(weight_->itemData(index).toInt()));
        SetTextAreaLines(
            *tests_, ToLines(DiagnosticsLines(content_.diagnostics, content_.decimalSeparator)));
        plots_->SetData(MakePlotData(content_.study, content_.diagnostics));
        sampleResult_->clear();
        FitSampleResult();
    });
}

void DiagnosticsWindow::bimprimirClick() {
    RunCommand(errors_, [this] {
        // Without a printer the page goes to a file: beside the study.
        if (QPrinterInfo::availablePrinters().isEmpty() && printer_.outputFileName().isEmpty())
            printer_.setOutputFileName(StudyPdfName());
        const auto preview = [this](QPrinter& printer) {
            RunCommand(errors_, [&] {
                PrintDiagnostics(printer, content_.study, content_.diagnostics,
                                 content_.decimalSeparator);
            });
        };
        if (!dialogs_.RunPrintDialog(printer_, preview)) return;
        PrintDiagnostics(printer_, content_.study, content_.diagnostics, content_.decimalSeparator);
        emit printed();
    });
}

void DiagnosticsWindow::bexportarClick() {
    RunCommand(errors_, [this] {
        const std::optional<QString> name = dialogs_.AskExportFileName(ExportProposal());
        if (!name) return;
        const std::optional<ExportFormat> format = ExportFormatOf(*name);
        if (!format)
            throw AppError("El archivo \"" + name->toStdString() +
                           "\" no termina en .pdf, .svg ni .png: no se sabe en qué formato "
                           "escribirlo");
        // The paper of the page as printed.
        ExportDiagnostics(name->toStdString(), *format, content_.study, content_.diagnostics,
                          content_.decimalSeparator, {kDefaultPlotWidth, kDefaultPlotHeight},
                          printer_.pageLayout().pageSize());
        lastExport_ = *name;
        emit exported(*name);
    });
}

} // namespace valdex
