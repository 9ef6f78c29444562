// valdex-cli under Spanish locales of both kinds: es_ES writes a decimal
// comma, es_MX a decimal point. A study travels between them: either mark is
// read, and the output keeps the user's own separator. The machine may have
// only the C locales, so the two are generated here with localedef.

#include "../core/support/worked_example.h"
#include "files/study_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace valdex {
namespace {

namespace fs = std::filesystem;

class LocaleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        locales_ = fs::temp_directory_path() / ("valdex-locales-" + std::to_string(getpid()));
        fs::create_directories(locales_);
        for (const char* name : {"es_ES", "es_MX"}) {
            const std::string command = "localedef -i " + std::string(name) + " -f UTF-8 " +
                                        (locales_ / (std::string(name) + ".UTF-8")).string() +
                                        " >/dev/null 2>&1";
            ASSERT_EQ(std::system(command.c_str()), 0) << "localedef " << name;
        }
    }
    static void TearDownTestSuite() { fs::remove_all(locales_); }

    struct Run {
        int status = -1;
        std::string out;
        std::string err;
    };

    static std::string ReadAll(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream buffer;
        buffer << in.rdbuf();
        return buffer.str();
    }

    // valdex-cli with the given locale for everything.
    Run Cli(const std::string& locale, const std::string& args) {
        const fs::path out = locales_ / "out", err = locales_ / "err";
        const std::string command = "env -u LANGUAGE LOCPATH=" + locales_.string() +
                                    " LC_ALL=" + locale + " " + VALDEX_BIN_DIR + "/valdex-cli " +
                                    args + " >" + out.string() + " 2>" + err.string();
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAll(out), ReadAll(err)};
    }

    // The worked example with every decimal point of its values turned into
    // a comma, as typed in a comma locale.
    fs::path ExampleWithCommas() {
        CalibrationStudy study = testing::WorkedExample();
        auto commas = [](std::string& text) {
            for (char& c : text)
                if (c == '.') c = ',';
        };
        for (StudyLevel& level : study.Levels)
            commas(level.AddedQuantity);
        for (ResponseRow& row : study.Responses)
            commas(row.Response);
        const fs::path path = locales_ / "comas.w8c";
        WriteStudyFile(study, path.string());
        return path;
    }

    static fs::path locales_;
};

fs::path LocaleTest::locales_;

const std::string kExample = std::string(VALDEX_SOURCE_DIR) + "/ejemplos/curva-ejemplo.w8c";

TEST_F(LocaleTest, AStudyTravelsBetweenCommaAndPointLocales) {
    struct Case {
        std::string locale;
        bool commaStudy;
        std::string slopeLine; // as the user's locale writes it
    };
    const Case cases[] = {
        {"es_ES.UTF-8", false, "PENDIENTE = 2,0233333"},
        {"es_ES.UTF-8", true, "PENDIENTE = 2,0233333"},
        {"es_MX.UTF-8", false, "PENDIENTE = 2.0233333"},
        {"es_MX.UTF-8", true, "PENDIENTE = 2.0233333"},
    };
    const fs::path commas = ExampleWithCommas();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale + (c.commaStudy ? " commas" : " points"));
        const std::string file = c.commaStudy ? commas.string() : kExample;
        const Run run = Cli(c.locale, "calcular " + file);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find(c.slopeLine + "\n"), std::string::npos) << run.out;
        // The report lists the responses exactly as they were typed.
        const Run report = Cli(c.locale, "informe " + file);
        EXPECT_EQ(report.status, 0) << report.err;
        EXPECT_NE(report.out.find(c.commaStudy ? "8,3" : "8.3"), std::string::npos);
    }
}

} // namespace
} // namespace valdex
