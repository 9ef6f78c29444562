#pragma once
// The "Deskjet" print options dialog (the design's TFoprt): FilePrint opens it once the
// level-count check has passed. The check is not repeated at "Aceptar".

#include "report/deskjet_report.h"
#include "report/print_options_dialog.h"

namespace valdex {

class DeskjetOptionsDialog : public PrintOptionsDialog {
    Q_OBJECT
public:
    DeskjetOptionsDialog(QWidget* parent, CurrentStudy currentStudy, ErrorBox& errors,
                         char decimalSeparator);

    // The design's own units and result, as the last print left them.
    const DeskjetReport& Deskjet() const { return report_; }

protected:
    PrintedReport& Report() override { return report_; }

private:
    DeskjetReport report_;
};

} // namespace valdex
