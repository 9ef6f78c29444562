#include "report/deskjet_options_dialog.h"

namespace valdex {

DeskjetOptionsDialog::DeskjetOptionsDialog(QWidget* parent, CurrentStudy currentStudy,
                                           ErrorBox& errors, char decimalSeparator)
    : PrintOptionsDialog(parent, QStringLiteral("Imprimir:"), std::move(currentStudy), errors),
      report_(decimalSeparator) {}

} // namespace valdex
