#pragma once
// Archivo > "Registro de auditoría…": the entries of the user's audit trail
// in a table, filtered by study (a file's path or SHA-256) and by date, with
// the chain verified, exported to CSV and printed. Dialogs go through the
// dialog service.

#include <QWidget>

class QLabel;
class QLineEdit;
class QMainWindow;
class QTableWidget;

namespace valdex {

class AuditRecorder;
class DialogService;
class MainWindow;
struct PrintOptionsDialogs;

class AuditWindow : public QWidget {
    Q_OBJECT
public:
    AuditWindow(AuditRecorder& recorder, DialogService& dialogs, QWidget* parent = nullptr);

    QLineEdit* StudyFilter() const { return study_; }
    QLineEdit* FromFilter() const { return from_; }
    QLineEdit* ToFilter() const { return to_; }
    QTableWidget* Table() const { return table_; }
    QLabel* ChainState() const { return chain_; }

public slots:
    void Refresh();
    void VerifyChain();
    void ExportCsv();
    void Print();

private:
    AuditRecorder& recorder_;
    DialogService& dialogs_;
    QLineEdit* study_;
    QLineEdit* from_;
    QLineEdit* to_;
    QTableWidget* table_;
    QLabel* chain_;
};

// Adds "Registro de auditoría…" to the window's "&Archivo" menu, above its
// last separator; the item opens (or raises) the window.
void InstallAuditMenu(QMainWindow& window, AuditRecorder& recorder, DialogService& dialogs);

// Records every page that the two print options dialogs print, with the
// design, the page and the study's file as the main window names it.
void RecordPrinting(PrintOptionsDialogs dialogs, MainWindow& window, AuditRecorder& recorder);

} // namespace valdex
