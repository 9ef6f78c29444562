#include "app/qt_dialog_service.h"

#include "base/app_texts.h"
#include "report/print_options_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>

namespace valdex {

namespace {

// Both file dialogs show the one study-file filter and add its extension to
// a name typed without one.
std::optional<QString> RunFileDialog(QWidget* parent, const char* title, const QString& initialName,
                                     QFileDialog::AcceptMode mode) {
    StudyFileDialog dialog(parent, QString::fromUtf8(title));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilter(QString::fromUtf8(kStudyFileFilter));
    dialog.setDefaultSuffix(QString::fromUtf8(kStudyFileExtension));
    if (!initialName.isEmpty()) dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

// The save question has no Cancel: Escape and the window's close box are
// no answer (Qt would take them for "No" and lose the study), so the
// question stays until Sí or No is chosen.
class NoEscape : public QObject {
public:
    explicit NoEscape(QMessageBox& box) : box_(box) { box.installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &box_) return false;
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            return true;
        if (event->type() == QEvent::Close && !box_.clickedButton()) {
            event->ignore();
            return true;
        }
        return false;
    }

private:
    QMessageBox& box_;
};

} // namespace

StudyFileDialog::StudyFileDialog(QWidget* parent, const QString& title)
    : QFileDialog(parent, title) {
    setOption(QFileDialog::DontUseNativeDialog);
}

QString StudyFileDialog::MissingFolder() const {
    if (acceptMode() != QFileDialog::AcceptSave || selectedFiles().isEmpty()) return {};
    const QFileInfo chosen(selectedFiles().constFirst());
    if (chosen.isDir()) return {}; // the dialog itself opens a folder
    const QDir folder = chosen.absoluteDir();
    return folder.exists() ? QString() : folder.absolutePath();
}

// The path must exist: a name in a folder that is not there is refused and
// the dialog stays open.
void StudyFileDialog::accept() {
    const QString missing = MissingFolder();
    if (missing.isEmpty()) return QFileDialog::accept();
    QMessageBox box(
        QMessageBox::Warning, windowTitle(),
        QStringLiteral("La carpeta \"%1\" no existe.").arg(QDir::toNativeSeparators(missing)),
        QMessageBox::Ok, this);
    box.exec();
}

void QtDialogService::ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kApplicationTitle), text,
                    QMessageBox::Ok, parent_);
    box.exec();
}

bool QtDialogService::AskYesNo(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    parent_);
    box.setDefaultButton(QMessageBox::Yes);
    NoEscape noEscape(box);
    return box.exec() == QMessageBox::Yes;
}

void QtDialogService::ShowError(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kApplicationTitle), text,
                    QMessageBox::Ok, parent_);
    box.exec();
}

std::optional<QString> QtDialogService::AskOpenFileName(const QString& initialName) {
    return RunFileDialog(parent_, kOpenDialogTitle, initialName, QFileDialog::AcceptOpen);
}

std::optional<QString> QtDialogService::AskSaveFileName(const QString& initialName) {
    return RunFileDialog(parent_, kSaveDialogTitle, initialName, QFileDialog::AcceptSave);
}

} // namespace valdex

namespace valdex {

namespace {
constexpr const char* kExportDialogTitle = "Exportar gráficos";
} // namespace

bool QtDialogService::RunPrintDialog(QPrinter& printer,
                                     const std::function<void(QPrinter&)>& preview) {
    return RunPrintDialogWithPreview(printer, parent_, preview);
}

std::optional<QString> QtDialogService::AskExportFileName(const QString& initialName) {
    StudyFileDialog dialog(parent_, QString::fromUtf8(kExportDialogTitle));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = {QStringLiteral("PDF (*.pdf)"), QStringLiteral("SVG (*.svg)"),
                                 QStringLiteral("PNG (*.png)")};
    const QStringList suffixes = {QStringLiteral("pdf"), QStringLiteral("svg"),
                                  QStringLiteral("png")};
    dialog.setNameFilters(filters);
    // The proposed name's type is the one offered first.
    const QString proposed = QFileInfo(initialName).suffix().toLower();
    const qsizetype chosen = std::max<qsizetype>(0, suffixes.indexOf(proposed));
    dialog.selectNameFilter(filters[chosen]);
    dialog.setDefaultSuffix(suffixes[chosen]);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, &filters, &suffixes](const QString& filter) {
                         const qsizetype index = filters.indexOf(filter);
                         if (index >= 0) dialog.setDefaultSuffix(suffixes[index]);
                     });
    if (!initialName.isEmpty()) dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

bool QtDialogService::RunPrintPreview(QPrinter& printer,
                                      const std::function<void(QPrinter&)>& paint) {
    QPrintPreviewDialog dialog(&printer, parent_);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter* target) { paint(*target); });
    dialog.exec();
    return true;
}

std::optional<QString> QtDialogService::AskPdfFileName(const QString& initialName) {
    StudyFileDialog dialog(parent_, QStringLiteral("Guardar informe en PDF"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("PDF (*.pdf)")});
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (!initialName.isEmpty()) dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogService::AskText(const QString& question, const QString& caption,
                                                bool secret) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent_, caption, question,
                              secret ? QLineEdit::Password : QLineEdit::Normal, QString(), &ok);
    if (!ok) return std::nullopt;
    return text;
}

std::optional<QString> QtDialogService::AskWriteFileName(const QString& initialName,
                                                         const QString& filter) {
    const QString name =
        QFileDialog::getSaveFileName(parent_, QStringLiteral("Guardar como"), initialName, filter);
    if (name.isEmpty()) return std::nullopt;
    return name;
}

std::optional<QString> QtDialogService::AskChoice(const QString& question, const QString& caption,
                                                  const QStringList& choices) {
    bool ok = false;
    const QString choice =
        QInputDialog::getItem(parent_, caption, question, choices, 0, false, &ok);
    if (!ok) return std::nullopt;
    return choice;
}

} // namespace valdex
