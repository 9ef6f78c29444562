#pragma once
// Start-up of the printing module: the two print options dialogs, created
// once and hidden, connected to the main window's "Lasser" and "Deskjet"
// commands. Each print reads the study of the current study window
// (Finforma) at the moment of "Aceptar" and reports its failures through the
// main window's general error box.

#include "report/deskjet_options_dialog.h"
#include "report/laser_options_dialog.h"

namespace valdex {

class MainWindow;

struct PrintOptionsDialogs {
    LaserOptionsDialog* laser;     // owned by the main window
    DeskjetOptionsDialog* deskjet; // owned by the main window
};

PrintOptionsDialogs InstallPrintOptions(MainWindow& window);

} // namespace valdex
