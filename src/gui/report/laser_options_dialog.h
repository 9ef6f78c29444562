#pragma once
// The "Lasser" print options dialog (the design's TFoprt1): opened by PrintLasserClick
// without any check of the study.

#include "report/laser_report.h"
#include "report/print_options_dialog.h"

namespace valdex {

class LaserOptionsDialog : public PrintOptionsDialog {
    Q_OBJECT
public:
    LaserOptionsDialog(QWidget* parent, CurrentStudy currentStudy, ErrorBox& errors,
                       char decimalSeparator);

    // The design's own units and result, as the last print left them.
    const LaserReport& Laser() const { return report_; }

protected:
    PrintedReport& Report() override { return report_; }

private:
    LaserReport report_;
};

} // namespace valdex
