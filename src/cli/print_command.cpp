#include "print_command.h"

#include <iostream>
#include <optional>

#ifdef VALDEX_CLI_PRINT
#include "base/app_error.h"
#include "base/number_conversion.h"
#include "cli_messages.h"
#include "files/study_file.h"
#include "offscreen_qt.h"
#include "report/deskjet_report.h"
#include "report/laser_report.h"
#include "report/qt_page_canvas.h"
#include "study/level_check.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QMarginsF>
#include <QMessageLogContext>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include <cstdlib>
#include <exception>
#include <memory>
#endif

namespace valdex::cli {

namespace {

constexpr const char* kPrintUsage = "Uso: valdex-cli imprimir ARCHIVO.w8c --diseno lasser|deskjet "
                                    "--pagina 1|2 --pdf SALIDA.pdf\n";

struct PrintOptions {
    std::string file;
    bool laser = true;
    int page = 1;
    std::string pdf;
};

// Every option exactly once, with one of its values, and one study file.
std::optional<PrintOptions> ParsePrint(const std::vector<std::string>& args) {
    PrintOptions options;
    std::optional<std::string> design, page, pdf, file;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::optional<std::string>* target = nullptr;
        if (arg == "--diseno")
            target = &design;
        else if (arg == "--pagina")
            target = &page;
        else if (arg == "--pdf")
            target = &pdf;
        if (target != nullptr) {
            if (target->has_value() || i + 1 == args.size()) return std::nullopt;
            *target = args[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            return std::nullopt;
        } else {
            if (file) return std::nullopt;
            file = arg;
        }
    }
    if (!file || !design || !page || !pdf || pdf->empty()) return std::nullopt;
    if (*design != "lasser" && *design != "deskjet") return std::nullopt;
    if (*page != "1" && *page != "2") return std::nullopt;
    options.file = *file;
    options.laser = *design == "lasser";
    options.page = *page == "1" ? 1 : 2;
    options.pdf = *pdf;
    return options;
}

#ifdef VALDEX_CLI_PRINT

// The page on a PDF in memory; nothing when the job was aborted.
QByteArray RenderPdf(PrintedReport& report, ReportPage page, const CalibrationStudy& study) {
    return LetterPdf(
        QString::fromUtf8(page == ReportPage::General ? kGeneralPageItem : kResultsPageItem),
        [&](PageCanvas& canvas) { report.PrintPage(page, canvas, study); });
}

int PrintStudy(const PrintOptions& options, char sep) {
    if (OutputIsTheStudy(options.file, options.pdf, std::cerr)) return 1;
    QByteArray pdf;
    try {
        const CalibrationStudy study = LoadStudy(options.file, std::cerr);
        // The Deskjet command runs the level check before its dialog opens;
        // the Lasser command runs none.
        if (!options.laser) {
            const LevelCheck check = CheckLevelCount(study);
            if (check.LevelCheckFailed) {
                std::cerr << FileMessage(options.file, check.message) << '\n';
                return 1;
            }
        }

        const std::unique_ptr<QGuiApplication> app = StartOffscreenQt();
        std::unique_ptr<PrintedReport> report;
        if (options.laser)
            report = std::make_unique<LaserReport>(sep);
        else
            report = std::make_unique<DeskjetReport>(sep);
        pdf = RenderPdf(*report, options.page == 1 ? ReportPage::General : ReportPage::Results,
                        study);
    } catch (const std::exception& error) {
        std::cerr << FileMessage(options.file, FailureText(error)) << '\n';
        return 1;
    }
    return WriteOutput(options.pdf,
                       std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())),
                       std::cerr)
               ? 0
               : 1;
}

#endif

} // namespace

int RunPrintCommand(const std::vector<std::string>& args) {
    const std::optional<PrintOptions> options = ParsePrint(args);
    if (!options) {
        std::cerr << kPrintUsage;
        return 2;
    }
#ifdef VALDEX_CLI_PRINT
    // The separator of the user's locale, read before Qt sets up its own.
    return PrintStudy(*options, LocaleDecimalSeparator());
#else
    std::cerr << "valdex-cli se compiló sin Qt: el subcomando imprimir no está disponible.\n";
    return 1;
#endif
}

} // namespace valdex::cli
