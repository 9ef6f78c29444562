#include "files/study_file.h"

#include "../support/expect_throw.h"
#include "base/app_error.h"
#include "study_file_test_support.h"

#include <gtest/gtest.h>

#include <chrono>

#include <unistd.h>

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
            EXPECT_THROW_MSG(ParseStudyFile(bytes, "x.w8c"), ConversionError,
                             "'' is not a valid integer value");
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
        EXPECT_THROW_MSG(ParseStudyFile(c.Bytes, "x.w8c"), StudyError, c.Message);
    EXPECT_THROW_MSG(ParseStudyFile(CountFile("dos", {}, "0", 0), "x.w8c"), ConversionError,
                     "'dos' is not a valid integer value");
    EXPECT_THROW_MSG(ParseStudyFile(CountFile("1", {"2"}, "2.0", 0), "x.w8c"), ConversionError,
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
    EXPECT_THROW_MSG(ParseStudyFile(CountFile("2", {"3", "2.5"}, "5", 5), "x.w8c"), ConversionError,
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

TEST(StudyFileReadTest, AFileLargerThanAnyTheWriterProducesIsRefusedUnread) {
    static_assert(kMaxStudyFileBytes == 51'407'196);
    testing::TempFolder folder;
    const std::string path = folder.File("grande.w8c");
    const std::string refused = "El archivo \"grande.w8c\" ocupa más de 51407196 bytes, más que "
                                "cualquier archivo de estudio; no se lee.";
    for (const long long size : {2'147'483'648LL, static_cast<long long>(kMaxStudyFileBytes) + 1}) {
        SCOPED_TRACE(size);
        testing::WriteBytes(path, kExampleBytes);
        ASSERT_EQ(::truncate(path.c_str(), size), 0); // sparse: nothing to read
        const auto start = std::chrono::steady_clock::now();
        EXPECT_THROW_MSG(ReadStudyFile(path), StudyError, refused);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    }
    EXPECT_THROW_MSG(ParseStudyFile(std::string(kMaxStudyFileBytes + 1, '\n'), "grande.w8c"),
                     StudyError, refused);
}

TEST(StudyFileReadTest, AStudyLineLongerThanAnyValueIsRefusedNamingIt) {
    const std::string longest(kMaxFileValueLength, '7');
    // Line 1 a text, 8 a level value, 13 a response, 19 the second column.
    for (const int line : {1, 8, 13, 19}) {
        SCOPED_TRACE(line);
        const auto withLine = [&](const std::string& text) {
            std::string bytes = FirstLines(line - 1) + text + "\r\n";
            return bytes + kExampleBytes.substr(FirstLines(line).size());
        };
        EXPECT_NO_THROW(ParseStudyFile(withLine(longest), "x.w8c"));
        EXPECT_THROW_MSG(ParseStudyFile(withLine(longest + "7"), "x.w8c"), StudyError,
                         "El archivo \"x.w8c\" tiene en la línea " + std::to_string(line) +
                             " un texto de más de 255 caracteres.");
    }
    // Lines after the study are not read.
    EXPECT_NO_THROW(ParseStudyFile(kExampleBytes + std::string(100000, 'x'), "x.w8c"));
}

TEST(StudyFileReadTest, TheLargestStudyTheWriterTakesFitsTheBoundAndLoads) {
    const auto padded = [](const std::string& text) {
        return std::string(kMaxFileValueLength - text.size(), ' ') + text;
    };
    CalibrationStudy study = ExampleStudy();
    for (std::string* text :
         {&study.MethodName, &study.AnalystName, &study.StudyDate, &study.MeasuredProperty,
          &study.AddedQuantityUnits, &study.CalculationType})
        *text = padded("x");
    study.LevelCount = padded("10");
    study.SetLevelColumns(kMaxFileLevels);
    for (StudyLevel& level : study.Levels)
        level = {"", padded("1"), padded(std::to_string(kMaxFileResponses / kMaxFileLevels))};
    study.SetResponseRows(kMaxFileResponses);
    for (ResponseRow& row : study.Responses)
        row.Response = row.SecondDataColumn = padded("2");
    const std::string bytes = SerializeStudy(study);
    // Every line at its longest but N, which the writer writes as "100000".
    EXPECT_EQ(bytes.size(), kMaxStudyFileBytes - (kMaxFileValueLength - 6));
    const CalibrationStudy back = ParseStudyFile(bytes, "x.w8c");
    EXPECT_EQ(back.ResponseRows(), kMaxFileResponses);
    EXPECT_EQ(back.ResponseCell(2, kMaxFileResponses), padded("2"));
}

TEST(StudyFileReadTest, TheFirstValueThatLooksLikeMisreadUtf8IsFound) {
    EXPECT_EQ(MisreadUtf8Text(ParseStudyFile(kExampleBytes, "x.w8c")), std::nullopt);
    std::string bytes = kExampleBytes;
    bytes.replace(bytes.find("Regresi\xF3n"), 10, "Regresi\xC3\xB3n");
    EXPECT_EQ(MisreadUtf8Text(ParseStudyFile(bytes, "x.w8c")), "RegresiÃ³n");
    // In the second column as well, the last line of the file.
    bytes = kExampleBytes.substr(0, kExampleBytes.size() - 2) + "\xC2\xB5\r\n";
    EXPECT_EQ(MisreadUtf8Text(ParseStudyFile(bytes, "x.w8c")), "Âµ");
}

} // namespace
} // namespace valdex
