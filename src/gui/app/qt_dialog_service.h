#pragma once
// The dialogs of the running application: QMessageBox and QFileDialog.

#include "app/dialog_service.h"

#include <QFileDialog>
#include <QPointer>
#include <QWidget>

namespace valdex {

// The open and save dialogs of study files (Qt's own dialog, so that it is
// Spanish with the application's translation). The save dialog refuses a
// name in a folder that does not exist.
class StudyFileDialog : public QFileDialog {
    Q_OBJECT
public:
    StudyFileDialog(QWidget* parent, const QString& title);
    // The folder of the chosen save name when it does not exist, else empty.
    QString MissingFolder() const;

public slots:
    void accept() override;
};

class QtDialogService : public DialogService {
public:
    explicit QtDialogService(QWidget* parent) : parent_(parent) {}

    void ShowMessage(const QString& text) override;
    bool AskYesNo(const QString& text, const QString& caption) override;
    void ShowError(const QString& text) override;
    std::optional<QString> AskOpenFileName(const QString& initialName) override;
    std::optional<QString> AskSaveFileName(const QString& initialName) override;
    bool RunPrintDialog(QPrinter& printer, const std::function<void(QPrinter&)>& preview) override;
    std::optional<QString> AskExportFileName(const QString& initialName) override;
    bool RunPrintPreview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) override;
    std::optional<QString> AskPdfFileName(const QString& initialName) override;
    std::optional<QString> AskText(const QString& question, const QString& caption,
                                   bool secret) override;
    std::optional<QString> AskWriteFileName(const QString& initialName,
                                            const QString& filter) override;
    std::optional<QString> AskChoice(const QString& question, const QString& caption,
                                     const QStringList& choices) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace valdex
