#include "files/study_file.h"

#include "base/app_error.h"
#include "study_file_test_support.h"

#include <gtest/gtest.h>

namespace valdex {
namespace {

using testing::ExampleStudy;
using testing::kExampleBytes;

// The first `count` lines of the worked example.
std::string FirstLines(int count) {
    std::size_t end = 0;
    for (int i = 0; i < count; ++i)
        end = kExampleBytes.find("\r\n", end) + 2;
    return kExampleBytes.substr(0, end);
}

// A file with the given counts; the levels hold the replicate texts given.
std::string CountFile(const std::string& levelCount, const std::vector<std::string>& replicates,
                      const std::string& responseCount, int responseLines) {
    std::string bytes = "m\r\na\r\nf\r\np\r\nu\r\nRegresi\xF3n\r\n" + levelCount + "\r\n";
    for (const auto& count : replicates)
        bytes += "1\r\n" + count + "\r\n";
    bytes += responseCount + "\r\n";
    for (int r = 1; r <= responseLines; ++r)
        bytes += std::to_string(r) + "\r\n";
    return bytes;
}

template <typename Error> std::string ParseError(const std::string& bytes) {
    try {
        ParseStudyFile(bytes, "x.w8c");
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

TEST(StudyFileReadTest, WorkedExampleFillsTheStudyAsANewWindowWouldHoldIt) {
    const CalibrationStudy study = ParseStudyFile(kExampleBytes, "x.w8c");
    const CalibrationStudy typed = ExampleStudy();
    EXPECT_EQ(study.MethodName, typed.MethodName);
    EXPECT_EQ(study.AnalystName, typed.AnalystName);
    EXPECT_EQ(study.StudyDate, typed.StudyDate);
    EXPECT_EQ(study.MeasuredProperty, typed.MeasuredProperty);
    EXPECT_EQ(study.AddedQuantityUnits, typed.AddedQuantityUnits);
    EXPECT_EQ(study.CalculationType, "Regresión");
    EXPECT_EQ(study.LevelCount, "2");
    ASSERT_EQ(study.LevelColumns(), 2);
    EXPECT_EQ(study.LevelCell(1, 0), "     Nivel 1");
    EXPECT_EQ(study.LevelCell(2, 0), "     Nivel 2");
    EXPECT_EQ(study.LevelCell(2, 1), "1.0");
    EXPECT_EQ(study.LevelCell(2, 2), "3");
    EXPECT_EQ(study.LevelCell(0, 2), "Replicación >>");
    // The reader leaves the heading of the responses column as it was.
    EXPECT_EQ(study.ResponsesHeading, CalibrationStudy::MakeNew().ResponsesHeading);
    ASSERT_EQ(study.ResponseRows(), 6);
    const char* labels[] = {"Nivel 1 , Replica 1", "Nivel 1 , Replica 2", "Nivel 1 , Replica 3",
                            "Nivel 2 , Replica 1", "Nivel 2 , Replica 2", "Nivel 2 , Replica 3"};
    for (int r = 1; r <= 6; ++r) {
        EXPECT_EQ(study.ResponseCell(0, r), labels[r - 1]);
        EXPECT_EQ(study.ResponseCell(1, r), typed.ResponseCell(1, r));
        EXPECT_EQ(study.ResponseCell(2, r), "");
    }
}

TEST(StudyFileReadTest, BareLineFeedsAndCarriageReturnsEndLinesToo) {
    const std::string crlf = SerializeStudy(ParseStudyFile(kExampleBytes, "x.w8c"));
    for (const char* end : {"\n", "\r"}) {
        std::string bytes = kExampleBytes;
        for (std::size_t at = 0; (at = bytes.find("\r\n", at)) != std::string::npos;)
            bytes.replace(at, 2, end), at += 1;
        EXPECT_EQ(SerializeStudy(ParseStudyFile(bytes, "x.w8c")), crlf);
    }
    // A last line without its line end still counts.
    EXPECT_EQ(ParseStudyFile(FirstLines(17) + "20.0", "x.w8c").ResponseCell(1, 6), "20.0");
}

TEST(StudyFileReadTest, ExtraLinesAreIgnoredAndLostAtTheNextSave) {
    const CalibrationStudy study = ParseStudyFile(kExampleBytes + "sobra\r\n7\r\n", "x.w8c");
    EXPECT_EQ(SerializeStudy(study), kExampleBytes);
}

TEST(StudyFileReadTest, MissingLinesReadAsEmpty) {
    for (int kept = 0; kept <= 24; ++kept) {
        SCOPED_TRACE(kept);
        const std::string bytes = FirstLines(kept);
        if (kept < 12) {
            // Line 7 or the count line at 12 is missing, and empty is no integer.
            EXPECT_EQ(ParseError<ConversionError>(bytes), "'' is not a valid integer value");
            continue;
        }
        const CalibrationStudy study = ParseStudyFile(bytes, "x.w8c");
        ASSERT_EQ(study.ResponseRows(), 6);
        for (int r = 1; r <= 6; ++r)
            EXPECT_EQ(study.ResponseCell(1, r),
                      12 + r <= kept ? ExampleStudy().ResponseCell(1, r) : "");
        EXPECT_EQ(study.ResponseCell(0, 6), "Nivel 2 , Replica 3");
    }
}

TEST(StudyFileReadTest, CountsOutOfRangeAreRefusedNamingTheLine) {
    const struct {
        std::string Bytes;
        std::string Message;
    } cases[] = {
        {CountFile("0", {}, "0", 0), "El archivo \"x.w8c\" tiene un número de niveles fuera de "
                                     "rango (1-10) en la línea 7."},
        {CountFile("11", std::vector<std::string>(11, "1"), "11", 11),
         "El archivo \"x.w8c\" tiene un número de niveles fuera de rango (1-10) en la línea 7."},
        {CountFile("-1", {}, "0", 0),
         "El archivo \"x.w8c\" tiene un número de niveles fuera de rango (1-10) en la línea 7."},
        {CountFile("2", {"1", "1"}, "-1", 0), "El archivo \"x.w8c\" tiene un número de datos fuera "
                                              "de rango (0-100000) en la línea 12."},
        {CountFile("1", {"1"}, "100001", 0), "El archivo \"x.w8c\" tiene un número de datos fuera "
                                             "de rango (0-100000) en la línea 10."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseError<StudyError>(c.Bytes), c.Message);
    EXPECT_EQ(ParseError<ConversionError>(CountFile("dos", {}, "0", 0)),
              "'dos' is not a valid integer value");
    EXPECT_EQ(ParseError<ConversionError>(CountFile("1", {"2"}, "2.0", 0)),
              "'2.0' is not a valid integer value");
}

TEST(StudyFileReadTest, LargestResponseCountLoads) {
    const CalibrationStudy study =
        ParseStudyFile(CountFile("1", {"100000"}, " 100000 ", 3), "x.w8c");
    ASSERT_EQ(study.ResponseRows(), kMaxFileResponses);
    EXPECT_EQ(study.ResponseCell(1, 3), "3");
    EXPECT_EQ(study.ResponseCell(1, 4), "");
    EXPECT_EQ(study.ResponseCell(0, kMaxFileResponses), "Nivel 1 , Replica 100000");
}

TEST(StudyFileReadTest, NonIntegerReplicateCountFailsWhenLabelling) {
    EXPECT_EQ(ParseError<ConversionError>(CountFile("2", {"3", "2.5"}, "5", 5)),
              "'2.5' is not a valid integer value");
}

TEST(StudyFileReadTest, LabelsFollowTheReplicateCountsWithinTheRows) {
    const struct {
        std::vector<std::string> Replicates;
        int Rows;
        std::vector<std::string> Labels;
    } cases[] = {
        // More replicates than rows: the labels beyond the last row are dropped.
        {{"2", "3"}, 3, {"Nivel 1 , Replica 1", "Nivel 1 , Replica 2", "Nivel 2 , Replica 1"}},
        // Fewer: the last rows stay unlabelled.
        {{"1", "1"}, 3, {"Nivel 1 , Replica 1", "Nivel 2 , Replica 1", ""}},
        // A negative count moves the next level's labels back.
        {{"-1", "3"}, 3, {"Nivel 2 , Replica 2", "Nivel 2 , Replica 3", ""}},
        {{"2147483647", "1"}, 1, {"Nivel 1 , Replica 1"}},
        {{"-2147483648", "5"}, 1, {""}},
    };
    for (const auto& c : cases) {
        const CalibrationStudy study =
            ParseStudyFile(CountFile(std::to_string(c.Replicates.size()), c.Replicates,
                                     std::to_string(c.Rows), c.Rows),
                           "x.w8c");
        ASSERT_EQ(study.ResponseRows(), c.Rows);
        for (int r = 1; r <= c.Rows; ++r)
            EXPECT_EQ(study.ResponseCell(0, r), c.Labels[r - 1]);
    }
}

} // namespace
} // namespace valdex
