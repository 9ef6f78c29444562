#include "app/main_menu.h"

#include "app/context_help.h"
#include "app/hint.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace valdex {

namespace {

struct ItemDesign {
    Command command;
    const char* caption;
    // A real shortcut, or after a tab a shortcut that is only shown: the
    // help items' keys are blocked with their disabled menu, and F1 is the
    // context-help key.
    const char* shortcut;
    int helpContext;
    const char* hint;
};

void Describe(QAction* action, const ItemDesign& design) {
    action->setObjectName(QString::fromLatin1(CommandName(design.command)));
    action->setProperty(kHelpContextProperty, design.helpContext);
    action->setStatusTip(SplitHint(QString::fromUtf8(design.hint)).longPart);
    action->setVisible(IsCommandVisible(design.command));
}

QMenu* AddMenu(QMenuBar& bar, MenuActions& actions, const ItemDesign& design) {
    QMenu* menu = bar.addMenu(QString::fromUtf8(design.caption));
    menu->setObjectName(QString::fromLatin1(CommandName(design.command)) + QStringLiteral("Popup"));
    Describe(menu->menuAction(), design);
    actions.insert(design.command, menu->menuAction());
    return menu;
}

QMenu* AddSubmenu(QMenu& parent, MenuActions& actions, const ItemDesign& design) {
    QMenu* menu = parent.addMenu(QString::fromUtf8(design.caption));
    Describe(menu->menuAction(), design);
    actions.insert(design.command, menu->menuAction());
    return menu;
}

QAction* AddItem(QMenu& menu, MenuActions& actions, const ItemDesign& design) {
    QString caption = QString::fromUtf8(design.caption);
    const QString shortcut = QString::fromLatin1(design.shortcut);
    QAction* action = nullptr;
    if (shortcut.startsWith(QLatin1Char('\t'))) {
        action = menu.addAction(caption + shortcut);
    } else {
        action = menu.addAction(caption);
        if (!shortcut.isEmpty()) action->setShortcut(QKeySequence(shortcut));
    }
    Describe(action, design);
    actions.insert(design.command, action);
    return action;
}

} // namespace

MenuActions BuildMainMenu(QMenuBar& bar) {
    using C = Command;
    MenuActions actions;

    QMenu* file = AddMenu(
        bar, actions, {C::FileMenu, "&Archivo", "", 1, "Crea,abre,guarda e imrpime un archivo"});
    AddItem(*file, actions,
            {C::FileNewItem, "&Nuevo", "Ctrl+N", 2, "Archivo|Crea un nuevo archivo"});
    AddItem(*file, actions,
            {C::FileOpenItem, "&Abrir...", "Ctrl+A", 3, "Archivo|Abre un archivo ya existente"});
    AddItem(*file, actions, {C::mnuclose, "C&errar", "", 4, "Archivo|Cierra la ventana activa"});
    file->addSeparator();
    AddItem(*file, actions,
            {C::FileSaveItem, "&Guardar", "Ctrl+G", 5, "Archivo|Guarda el archivo"});
    AddItem(*file, actions,
            {C::FileSaveAsItem, "Guardar &como...", "", 6,
             "Archivo|Guarda el archivo con un nuevo nombre y/o trayectoria"});
    file->addSeparator();
    QMenu* print =
        AddSubmenu(*file, actions,
                   {C::FilePrintItem, "&Imprimir...", "", 7, "Archivo|Imprime el archivo actual"});
    AddItem(*print, actions, {C::PrintLasser, "Lasser", "", 0, ""});
    AddItem(*print, actions, {C::PrintDeskjet, "Deskjet", "", 0, ""});
    file->addSeparator();
    AddItem(*file, actions, {C::FileExitItem, "&Salir", "", 8, "Salir del módulo KOMTRAN"});

    QMenu* calc = AddMenu(
        bar, actions, {C::mnucalculos, "&Cálculos", "", 10, "Cálculos de Precisión del sistema"});
    AddItem(*calc, actions,
            {C::mnudunet, "&Detección y Cuantificación", "", 11,
             "Cálculos|Límite de detección y cuantificación del sistema"});
    AddItem(*calc, actions,
            {C::mnuinforme, "&Informe", "", 19, "Cálculos|Presenta datos y resultados"});
    AddItem(*calc, actions,
            {C::mnudiagnostico, "Dia&gnóstico de la calibración", "", 12,
             "Cálculos|Gráficos, residuos y pruebas de la curva de calibración"});
    AddItem(*calc, actions,
            {C::mnuvalidacion, "Informe de &validación…", "", 0,
             "Cálculos|Informe de validación con los veredictos de los criterios de aceptación"});

    QMenu* window = AddMenu(bar, actions,
                            {C::WindowMenu, "&Ventana", "", 20, "Arregla las ventanas presentes"});
    AddItem(*window, actions,
            {C::WindowTileItem, "&Mosaico", "", 20, "Ventana|Arregla las ventanas en mosaico"});
    AddItem(*window, actions,
            {C::WindowCascadeItem, "&Cascada", "", 20, "Ventana|Arregla las ventanas en cascada"});

    QMenu* help = AddMenu(bar, actions, {C::HelpMenu, "A&yuda", "", 30, "Ayuda del módulo ORBE"});
    AddItem(
        *help, actions,
        {C::HelpContentsItem, "&Contenido", "\tF1", 31, "Ayuda|Presenta el contenido de la ayuda"});
    AddItem(
        *help, actions,
        {C::HelpSearchItem, "&Buscar ayuda sobre...", "\tCtrl+F1", 32, "Ayuda|Busca ayuda sobre"});
    AddItem(*help, actions,
            {C::HelpHowToUseItem, "Como &usar  la ayuda", "", 0, "Ayuda|Como usar la ayuda"});
    help->addSeparator();
    AddItem(*help, actions,
            {C::HelpAboutItem, "&Acerca...", "", 33, "Ayuda|Presenta información del programa"});
    return actions;
}

} // namespace valdex
