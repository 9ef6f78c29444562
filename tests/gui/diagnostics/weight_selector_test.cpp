// The diagnostics window's weight selector on the cadmium study: the
// recommended weight marked but "ninguna" chosen, the tests, the plots and
// the sample's reading following the choice.

#include "../../core/support/worked_example.h"
#include "../support/scripted_dialogs.h"
#include "app/sample_field.h"
#include "diagnostics/diagnostics_text.h"
#include "diagnostics/diagnostics_window.h"
#include "files/study_file.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <fstream>

using namespace valdex;
using namespace valdex::testing;

namespace {

class RecordedErrors : public ErrorBox {
public:
    void ShowErrorBox(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

// The cadmium data as a study: one level per x, in file order.
CalibrationStudy Cadmium() {
    std::ifstream in(std::string(VALDEX_SOURCE_DIR) +
                     "/tests/core/diagnostics/data/cadmium_epa1997.csv");
    std::string line;
    std::getline(in, line);
    std::vector<std::pair<std::string, std::string>> levels;
    std::vector<std::string> responses;
    while (std::getline(in, line)) {
        const std::string x = line.substr(0, line.find(','));
        if (levels.empty() || levels.back().first != x) levels.push_back({x, "0"});
        levels.back().second = std::to_string(std::stoi(levels.back().second) + 1);
        responses.push_back(line.substr(line.find(',') + 1));
    }
    return MakeStudy(levels, responses);
}

} // namespace

class WeightSelectorTest : public QObject {
    Q_OBJECT

private slots:
    void recommendedWeightIsMarkedNotChosen() {
        DiagnosticsWindowContent content;
        content.caption = "Diagnóstico: cadmio.w8c";
        content.study = Cadmium();
        content.diagnostics = ComputeDiagnostics(content.study, DiagnosticOptions{}, '.');
        ScriptedDialogs dialogs;
        RecordedErrors errors;
        DiagnosticsWindow window(content, dialogs, errors);
        QComboBox* weight = window.cpeso();
        QVERIFY(weight);
        QStringList labels;
        for (int i = 0; i < weight->count(); ++i)
            labels << weight->itemText(i);
        QCOMPARE(labels, (QStringList{"ninguna", "1/x (no calculable)", "1/x2 (no calculable)",
                                      "1/y", "1/y2", "1/s2", "funcion (recomendado)"}));
        QCOMPARE(weight->currentText(), QStringLiteral("ninguna"));
        const QString plain = window.Tests()->toPlainText();
        QVERIFY(!plain.contains(QStringLiteral("RECTA PONDERADA")));

        weight->setCurrentIndex(6);
        DiagnosticOptions weighted;
        weighted.weighting = WeightScheme::VarianceFunction;
        const std::vector<std::string> expected =
            DiagnosticsLines(ComputeDiagnostics(content.study, weighted, '.'), '.');
        QCOMPARE(window.Tests()->toPlainText().split(QLatin1Char('\n')).size(),
                 static_cast<qsizetype>(expected.size()));
        QVERIFY(window.Tests()->toPlainText().contains(
            QStringLiteral("RECTA PONDERADA (PESO funcion)")));
        // The plots follow: the weighted line and its residuals.
        QCOMPARE(window.Plots()->Data().weight, std::string("funcion"));
        QVERIFY(window.Plots()->accessibleDescription().contains(
            QStringLiteral("residuos ponderados (funcion)")));

        window.emuestra()->setText(QStringLiteral("30 31"));
        window.binterpolar()->click();
        QVERIFY(
            window.SampleResult()->toPlainText().contains(QStringLiteral("Peso usado: funcion.")));

        weight->setCurrentIndex(1); // 1/x: refused with its reason, no error box
        QVERIFY(window.Tests()->toPlainText().contains(
            QStringLiteral("El peso 1/x no está definido en el nivel 1 (x = 0")));
        QVERIFY(window.Plots()->Data().weight.empty());
        QVERIFY(!window.Plots()->Data().weightReason.empty());
        weight->setCurrentIndex(0);
        QCOMPARE(window.Tests()->toPlainText(), plain);
        QVERIFY(window.Plots()->Data().weight.empty() &&
                window.Plots()->Data().weightReason.empty());
        QVERIFY(errors.shown.empty());
    }
};

QTEST_MAIN(WeightSelectorTest)
#include "weight_selector_test.moc"
