#include "records/audit_window.h"

#include "app/dialog_service.h"
#include "app/main_window.h"
#include "base/app_error.h"
#include "files/file_identity.h"
#include "files/file_io.h"
#include "records/audit_recorder.h"
#include "report/print_options_wiring.h"

#include <QAction>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QTextDocument>
#include <QVBoxLayout>

namespace valdex {

namespace {

const QStringList kHeaders = {"N.º",    "Hora (UTC)", "Usuario", "Nombre",
                              "Equipo", "Versión",    "Evento",  "Detalles"};

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QStringList Row(const AuditEntry& e) {
    return {QString::number(e.sequence),
            Q(e.time),
            Q(e.login),
            Q(e.fullName),
            Q(e.host),
            Q(e.version),
            Q(e.event),
            Q(e.details)};
}

} // namespace

AuditWindow::AuditWindow(AuditRecorder& recorder, DialogService& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), recorder_(recorder), dialogs_(dialogs),
      study_(new QLineEdit(this)), from_(new QLineEdit(this)), to_(new QLineEdit(this)),
      table_(new QTableWidget(this)), chain_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Registro de auditoría"));
    setAttribute(Qt::WA_DeleteOnClose);
    study_->setPlaceholderText(QStringLiteral("archivo del estudio o su SHA-256"));
    from_->setPlaceholderText(QStringLiteral("AAAA-MM-DD"));
    to_->setPlaceholderText(QStringLiteral("AAAA-MM-DD"));
    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("Estudio:"), this));
    filters->addWidget(study_, 3);
    filters->addWidget(new QLabel(QStringLiteral("Desde:"), this));
    filters->addWidget(from_, 1);
    filters->addWidget(new QLabel(QStringLiteral("Hasta:"), this));
    filters->addWidget(to_, 1);
    auto* filter = new QPushButton(QStringLiteral("&Filtrar"), this);
    filters->addWidget(filter);
    table_->setColumnCount(kHeaders.size());
    table_->setHorizontalHeaderLabels(kHeaders);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->hide();
    auto* buttons = new QHBoxLayout;
    auto* verify = new QPushButton(QStringLiteral("&Verificar la cadena"), this);
    auto* exportCsv = new QPushButton(QStringLiteral("&Exportar CSV…"), this);
    auto* print = new QPushButton(QStringLiteral("&Imprimir…"), this);
    auto* close = new QPushButton(QStringLiteral("&Cerrar"), this);
    buttons->addWidget(chain_, 1);
    for (QPushButton* button : {verify, exportCsv, print, close})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    connect(filter, &QPushButton::clicked, this, &AuditWindow::Refresh);
    for (QLineEdit* edit : {study_, from_, to_})
        connect(edit, &QLineEdit::returnPressed, this, &AuditWindow::Refresh);
    connect(verify, &QPushButton::clicked, this, &AuditWindow::VerifyChain);
    connect(exportCsv, &QPushButton::clicked, this, &AuditWindow::ExportCsv);
    connect(print, &QPushButton::clicked, this, &AuditWindow::Print);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    resize(1000, 560);
    Refresh();
}

namespace {

// The filter as typed: a file that exists counts by its full path and by
// its SHA-256.
AuditFilter FilterOf(const QString& study, const QString& from, const QString& to) {
    AuditFilter filter;
    filter.study = study.trimmed().toStdString();
    filter.from = from.trimmed().toStdString();
    filter.to = to.trimmed().toStdString();
    const QFileInfo file(study.trimmed());
    if (!filter.study.empty() && file.isFile()) {
        filter.study = file.canonicalFilePath().toStdString();
        try {
            filter.studyHash = IdentifyFile(filter.study).sha256;
        } catch (const AppError&) {
        }
    }
    return filter;
}

} // namespace

void AuditWindow::Refresh() {
    table_->setRowCount(0);
    AuditTrail* trail = recorder_.Trail();
    if (!trail) {
        chain_->setText(Q(recorder_.Problem()));
        return;
    }
    try {
        const auto entries = trail->Entries(FilterOf(study_->text(), from_->text(), to_->text()));
        table_->setRowCount(static_cast<int>(entries.size()));
        for (int row = 0; row < table_->rowCount(); ++row) {
            const QStringList cells = Row(entries[static_cast<std::size_t>(row)]);
            for (int column = 0; column < cells.size(); ++column)
                table_->setItem(row, column, new QTableWidgetItem(cells[column]));
        }
        table_->resizeColumnsToContents();
    } catch (const std::exception& error) {
        dialogs_.ShowError(Q(error.what()));
    }
}

void AuditWindow::VerifyChain() {
    AuditTrail* trail = recorder_.Trail();
    if (!trail) {
        dialogs_.ShowError(Q(recorder_.Problem()));
        return;
    }
    const AuditVerification result = trail->Verify();
    chain_->setText(Q(result.message));
    recorder_.Record(audit_event::kVerified, {{"programa", "valdex"},
                                              {"comando", "verificar registro"},
                                              {"integro", result.intact},
                                              {"mensaje", result.message}});
    if (!result.intact) dialogs_.ShowError(Q(result.message));
}

void AuditWindow::ExportCsv() {
    AuditTrail* trail = recorder_.Trail();
    if (!trail) return;
    const auto name = dialogs_.AskWriteFileName(QStringLiteral("auditoria.csv"),
                                                QStringLiteral("Tablas CSV (*.csv)"));
    if (!name) return;
    try {
        const auto entries = trail->Entries(FilterOf(study_->text(), from_->text(), to_->text()));
        ReplaceFileContent(name->toStdString(), AuditCsv(entries));
        nlohmann::json details = {{"programa", "valdex"}, {"comando", "exportar registro"}};
        details["archivo"] = FileDetails(name->toStdString());
        recorder_.Record(audit_event::kExported, details);
    } catch (const std::exception& error) {
        dialogs_.ShowError(*name + QStringLiteral(": ") + Q(error.what()));
    }
}

void AuditWindow::Print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QString html = QStringLiteral("<h3>Registro de auditoría</h3><table border=1 cellspacing=0 "
                                  "cellpadding=2 style='font-size:7pt'><tr>");
    for (const QString& header : kHeaders)
        html += QStringLiteral("<th>") + header + "</th>";
    html += "</tr>";
    for (int row = 0; row < table_->rowCount(); ++row) {
        html += "<tr>";
        for (int column = 0; column < table_->columnCount(); ++column)
            html += "<td>" + table_->item(row, column)->text().toHtmlEscaped() + "</td>";
        html += "</tr>";
    }
    html += "</table>";
    QTextDocument document;
    document.setHtml(html);
    const auto draw = [&document](QPrinter& target) { document.print(&target); };
    if (!dialogs_.RunPrintDialog(printer, draw)) return;
    draw(printer);
    recorder_.Record(audit_event::kPrinted, {{"programa", "valdex"},
                                             {"comando", "imprimir registro"},
                                             {"entradas", table_->rowCount()}});
}

void InstallAuditMenu(QMainWindow& window, AuditRecorder& recorder, DialogService& dialogs) {
    QMenu* file = nullptr;
    for (QAction* action : window.menuBar()->actions())
        if (action->menu() && action->text() == QStringLiteral("&Archivo")) file = action->menu();
    if (!file) return;
    QAction* before = nullptr;
    for (QAction* action : file->actions())
        if (action->isSeparator()) before = action;
    auto* item = new QAction(QStringLiteral("Registro de &auditoría…"), file);
    item->setObjectName(QStringLiteral("mnuauditoria"));
    item->setStatusTip(QStringLiteral("Muestra, verifica, exporta e imprime el registro de "
                                      "auditoría"));
    file->insertAction(before, item);
    auto open = std::make_shared<QPointer<AuditWindow>>();
    QObject::connect(item, &QAction::triggered, &window, [&window, &recorder, &dialogs, open] {
        if (!*open) *open = new AuditWindow(recorder, dialogs, &window);
        (*open)->show();
        (*open)->raise();
        (*open)->activateWindow();
    });
}

void RecordPrinting(PrintOptionsDialogs dialogs, MainWindow& window, AuditRecorder& recorder) {
    const std::pair<PrintOptionsDialog*, const char*> designs[] = {{dialogs.laser, "Lasser"},
                                                                   {dialogs.deskjet, "Deskjet"}};
    for (const auto& [dialog, design] : designs)
        QObject::connect(dialog, &PrintOptionsDialog::printed, &window,
                         [&window, &recorder, design = std::string(design)](int item) {
                             nlohmann::json details = {
                                 {"programa", "valdex"}, {"diseno", design}, {"pagina", item + 1}};
                             const std::string file = window.Rules().SaveFileName();
                             const QFileInfo info(QString::fromStdString(file));
                             details["estudio"] =
                                 info.isFile() ? FileDetails(file) : nlohmann::json(file);
                             details["modificado"] = window.Rules().Estado() == "Modificado";
                             recorder.Record(audit_event::kPrinted, details);
                         });
}

} // namespace valdex
