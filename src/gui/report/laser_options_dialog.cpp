#include "report/laser_options_dialog.h"

namespace valdex {

TFoprt1::TFoprt1(QWidget* parent, CurrentStudy currentStudy, ErrorBox& errors,
                 char decimalSeparator)
    : PrintOptionsDialog(parent, QStringLiteral("Imprimir en Lasser :"), std::move(currentStudy),
                         errors),
      report_(decimalSeparator) {}

} // namespace valdex
