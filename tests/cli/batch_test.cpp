// "calcular" over more studies than one thread takes at a time: the same
// bytes, in the same order, as calls over a few studies each, and the audit
// entry names the studies in the order given.

#include "../core/support/worked_example.h"
#include "files/study_file.h"
#include "run_cli.h"

#include <gtest/gtest.h>

namespace valdex::testing {
namespace {

using CalculateBatchTest = OwnAuditTrailTest;

TEST_F(CalculateBatchTest, ManyStudiesGiveTheBytesOfFewAtATime) {
    // Every study its own results; among them a missing file, one that
    // does not read, one with a single level and one whose texts look like
    // UTF-8 read as Windows-1252.
    std::vector<std::string> files;
    for (int i = 0; i < 300; ++i) {
        CalibrationStudy study = WorkedExample();
        study.Responses[11].Response = "8." + std::to_string(100 + i);
        if (i == 5) study.MethodName = "MÃ©todo";
        if (i == 130) study.Responses[3].Response = "4.2x";
        if (i == 200) study.LevelCount = "1";
        files.push_back(scratch_.File("estudio" + std::to_string(i) + ".w8c"));
        if (i != 70) WriteStudyFile(study, files.back());
    }
    const auto arguments = [&](std::size_t from, std::size_t to) {
        std::string text;
        for (std::size_t i = from; i < to; ++i)
            text += " " + Quote(files[i]);
        return text;
    };
    for (const std::string command : {"calcular", "calcular --json", "calcular --csv"}) {
        const CliRun whole = RunValdexCli(command + arguments(0, files.size()));
        const std::string details = Trail().Entries().back().details;
        std::size_t previous = 0;
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (i == 70) continue;
            const std::size_t at = details.find("\"" + files[i] + "\"");
            ASSERT_NE(at, std::string::npos) << command << ": " << files[i];
            EXPECT_GT(at, previous) << command << ": " << files[i];
            previous = at;
        }
        CliRun parts{1, "", ""};
        for (std::size_t from = 0; from < files.size(); from += 50) {
            CliRun part = RunValdexCli(command + arguments(from, from + 50));
            const bool failing = from / 50 == 1 || from / 50 == 2 || from / 50 == 4;
            EXPECT_EQ(part.status, failing ? 1 : 0) << command << " from " << from;
            if (from > 0 && command == "calcular --csv") part.out.erase(0, part.out.find('\n') + 1);
            parts.out += part.out;
            parts.err += part.err;
        }
        EXPECT_EQ(whole.status, parts.status) << command;
        EXPECT_EQ(whole.out, parts.out) << command;
        EXPECT_EQ(whole.err, parts.err) << command;
        // The table has no warnings.
        if (command != "calcular --csv") {
            EXPECT_NE(whole.err.find("estudio5.w8c: aviso:"), std::string::npos) << command;
        }
    }
}

} // namespace
} // namespace valdex::testing
