#pragma once
// The dialogs of the running application: QMessageBox and QFileDialog.

#include "app/dialog_service.h"

#include <QPointer>
#include <QWidget>

namespace valdex {

class QtDialogService : public DialogService {
public:
    explicit QtDialogService(QWidget* parent) : parent_(parent) {}

    void ShowMessage(const QString& text) override;
    bool AskYesNo(const QString& text, const QString& caption) override;
    void ShowError(const QString& text) override;
    std::optional<QString> AskOpenFileName(const QString& initialName) override;
    std::optional<QString> AskSaveFileName(const QString& initialName) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace valdex
