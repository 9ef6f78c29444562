#include "report/laser_options_dialog.h"

namespace valdex {

LaserOptionsDialog::LaserOptionsDialog(QWidget* parent, CurrentStudy currentStudy, ErrorBox& errors,
                                       char decimalSeparator)
    : PrintOptionsDialog(parent, QStringLiteral("Imprimir en Lasser :"), std::move(currentStudy),
                         errors),
      report_(decimalSeparator) {}

} // namespace valdex
