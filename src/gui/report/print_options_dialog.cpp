#include "report/print_options_dialog.h"

#include "report/qt_page_canvas.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace valdex {

void SetUpPreview(QPrintPreviewDialog& view) {
    view.setWindowTitle(QStringLiteral("Vista previa"));
    // Qt opens its preview small, the page at a third of its size: here it
    // takes most of the screen, the page as wide as the window.
    if (const QScreen* screen = view.screen() ? view.screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const QSize size(std::min(area.width(), std::max(800, area.width() * 2 / 3)),
                         area.height() * 9 / 10);
        view.resize(size);
        view.move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    }
    if (auto* widget = view.findChild<QPrintPreviewWidget*>()) widget->fitToWidth();
}

bool RunPrintDialogWithPreview(QPrinter& printer, QWidget* parent, const PagePainter& preview) {
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        QPushButton* button =
            buttons->addButton(QStringLiteral("Vista previa"), QDialogButtonBox::ActionRole);
        button->setObjectName(QStringLiteral("vistaPrevia"));
        QObject::connect(button, &QPushButton::clicked, &dialog, [&] {
            QPrintPreviewDialog view(&printer, &dialog);
            QObject::connect(&view, &QPrintPreviewDialog::paintRequested,
                             [&](QPrinter* target) { preview(*target); });
            SetUpPreview(view);
            view.exec();
        });
    }
    return dialog.exec() == QDialog::Accepted;
}

PrintOptionsDialog::PrintOptionsDialog(QWidget* parent, const QString& groupCaption,
                                       CurrentStudy currentStudy, ErrorBox& errors)
    : QDialog(parent), currentStudy_(std::move(currentStudy)), errors_(errors),
      runPrintDialog_(RunPrintDialogWithPreview), printer_(QPrinter::HighResolution) {
    setWindowTitle(QStringLiteral("opciones"));
    setModal(false);

    opcion_ = new QGroupBox(groupCaption, this);
    opcion_->setObjectName(QStringLiteral("opcion"));
    items_ = new QButtonGroup(this);
    auto* itemsLayout = new QVBoxLayout(opcion_);
    const char* texts[] = {kGeneralPageItem, kResultsPageItem};
    for (int i = 0; i < 2; ++i) {
        auto* item = new QRadioButton(QString::fromUtf8(texts[i]), opcion_);
        items_->addButton(item, i);
        itemsLayout->addWidget(item);
    }
    items_->button(0)->setChecked(true);

    accept_ = new QPushButton(QStringLiteral("Aceptar"), this);
    accept_->setObjectName(QStringLiteral("BitBtn1"));
    accept_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancelar"), this);
    cancel_->setObjectName(QStringLiteral("BitBtn2"));
    connect(accept_, &QPushButton::clicked, this, &PrintOptionsDialog::BitBtn1Click);
    connect(cancel_, &QPushButton::clicked, this, &PrintOptionsDialog::BitBtn2Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(accept_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(opcion_);
    layout->addLayout(buttons);
}

PrintOptionsDialog::~PrintOptionsDialog() = default;

void PrintOptionsDialog::ShowOptions() {
    show();
    raise();
    activateWindow();
}

int PrintOptionsDialog::ItemIndex() const {
    return items_->checkedId();
}

void PrintOptionsDialog::SetItemIndex(int index) {
    if (QAbstractButton* item = items_->button(index)) item->setChecked(true);
}

void PrintOptionsDialog::PrintChosenPage(QPrinter& printer) {
    // The study as it stands now: it may have changed since the dialog opened.
    const CalibrationStudy* study = currentStudy_ ? currentStudy_() : nullptr;
    if (study == nullptr) return;
    QtPageCanvas canvas(printer);
    Report().PrintPage(ItemIndex() == 1 ? ReportPage::Results : ReportPage::General, canvas,
                       *study);
}

void PrintOptionsDialog::BitBtn1Click() {
    RunCommand(errors_, [this] {
        const PagePainter preview = [this](QPrinter& printer) {
            RunCommand(errors_, [&] { PrintChosenPage(printer); });
        };
        if (!runPrintDialog_(printer_, this, preview)) return;
        PrintChosenPage(printer_);
        emit printed(ItemIndex());
    });
}

void PrintOptionsDialog::BitBtn2Click() {
    hide();
}

} // namespace valdex
