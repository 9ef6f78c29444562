#include "app/speed_bar.h"

#include "app/glyphs.h"
#include "app/hint.h"

#include <QToolButton>

namespace valdex {

namespace {

struct ButtonDesign {
    const char* name;
    int x;
    int size;
    Glyph glyph;
    const char* hint;
    const char* accessibleName;
};

// "Salir del módulo " then the module's name between double quotes.
const char* const kExitHint = "Salir|Salir del módulo \"LDC del Sistema (Curva de Calibración)\"";

const ButtonDesign kButtons[] = {
    {"spdnuevo", 8, 25, Glyph::NewPage, "Nuevo|Crea un nuevo archivo", "Nuevo"},
    {"spdabrir", 40, 25, Glyph::OpenFolder, "Abrir|Abre un archivo de Curva de Calibración",
     "Abrir"},
    {"spdguardar", 64, 25, Glyph::Floppy, "Guardar|Guarda el archivo de Curva de Calibración",
     "Guardar"},
    {"spdprint", 96, 23, Glyph::Printer, "Imprimir en Lasser", "Imprimir en Lasser"},
    {"spdprint1", 120, 23, Glyph::Printer, "Imprimir en Deskjet", "Imprimir en Deskjet"},
    {"spdclose", 164, 25, Glyph::CloseX, "Cerrar|Cierra la ventana activa", "Cerrar"},
    {"spdexit", 190, 25, Glyph::ExitDoor, kExitHint, "Salir"},
    {"spdmosaico", 212, 25, Glyph::Tile, "Mosaico|Arregla las ventanas en mosaico", "Mosaico"},
    {"spdcascada", 236, 25, Glyph::Cascade, "Cascada|Arregla las ventanas en cascada", "Cascada"},
    {"spdcontenido", 260, 25, Glyph::HelpBook, "Contenido|Presenta el contenido de la ayuda",
     "Contenido"},
};

} // namespace

SpeedBar::SpeedBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SpeedBar"));
    setAccessibleName(QStringLiteral("Barra de herramientas"));
    setFixedHeight(33);
    for (const ButtonDesign& design : kButtons) {
        auto* button = new QToolButton(this);
        const QString name = QString::fromLatin1(design.name);
        const Hint hint = SplitHint(QString::fromUtf8(design.hint));
        button->setObjectName(name);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIcon(GlyphIcon(design.glyph));
        // The printer glyph is shrunk into its smaller button.
        button->setIconSize(design.glyph == Glyph::Printer ? QSize(19, 19)
                                                           : GlyphSize(design.glyph));
        button->setToolTip(hint.shortPart);
        button->setStatusTip(hint.longPart);
        button->setAccessibleName(QString::fromUtf8(design.accessibleName));
        button->setGeometry(design.x, (33 - design.size) / 2, design.size, design.size);
        buttons_.insert(name, button);
    }
}

} // namespace valdex
