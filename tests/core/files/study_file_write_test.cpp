#include "files/study_file.h"

#include "../support/expect_throw.h"
#include "base/app_error.h"
#include "files/file_io.h"
#include "study_file_test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include <sys/stat.h>

namespace valdex {
namespace {

using testing::ExampleStudy;
using testing::kExampleBytes;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

// A study of `levels` levels with `replicates` each and numbered responses.
CalibrationStudy StudyWith(int levels, int replicates) {
    CalibrationStudy study = ExampleStudy();
    study.LevelCount = std::to_string(levels);
    study.SetLevelColumns(levels);
    for (int i = 0; i < levels; ++i)
        study.Levels[i] = {"Nivel", std::to_string(i + 1) + ",5", std::to_string(replicates)};
    study.SetResponseRows(levels * replicates);
    for (int r = 0; r < levels * replicates; ++r)
        study.Responses[r].Response = std::to_string(r) + ",25";
    return study;
}

TEST(StudyFileWriteTest, WorkedExampleIsWrittenByteForByte) {
    TempFolder folder;
    WriteStudyFile(ExampleStudy(), folder.File("ensayo.w8c"));
    EXPECT_EQ(ReadBytes(folder.File("ensayo.w8c")), kExampleBytes);
    EXPECT_EQ(folder.Listing(), "ensayo.w8c;");
}

TEST(StudyFileWriteTest, AccentedTextsRoundTripThroughTheFile) {
    TempFolder folder;
    CalibrationStudy study = ExampleStudy();
    study.MethodName = "áéíóú ñÑ ü ¿? ¡! €";
    study.AnalystName = ""; // an empty field keeps the lines after it in place
    study.AddedQuantityUnits = "µg/mL „…”";
    study.CalculationType = "Ordenada al Origen";
    const std::string path = folder.File("acentos.w8c");
    WriteStudyFile(study, path);
    const std::string bytes = ReadBytes(path);
    const std::string start =
        "\xE1\xE9\xED\xF3\xFA \xF1\xD1 \xFC \xBF? \xA1! \x80\r\n\r\n12/03/1999";
    EXPECT_EQ(bytes.substr(0, start.size()), start);

    const CalibrationStudy back = ReadStudyFile(path);
    EXPECT_EQ(back.MethodName, study.MethodName);
    EXPECT_EQ(back.AnalystName, "");
    EXPECT_EQ(back.AddedQuantityUnits, study.AddedQuantityUnits);
    EXPECT_EQ(back.CalculationType, "Ordenada al Origen");
    WriteStudyFile(back, path);
    EXPECT_EQ(ReadBytes(path), bytes);
}

TEST(StudyFileWriteTest, SecondDataColumnIsWrittenBack) {
    std::string bytes = kExampleBytes;
    bytes.replace(bytes.size() - 12, 12, "a\r\n\r\nc\r\n\x81\r\n\xE9\r\nz\r\n");
    EXPECT_EQ(SerializeStudy(ParseStudyFile(bytes, "x.w8c")), bytes);
}

TEST(StudyFileWriteTest, ResponseCountsFromZeroToThousandsRoundTrip) {
    for (const auto& [levels, replicates] : {std::pair{2, 0}, {1, 101}, {10, 500}}) {
        SCOPED_TRACE(levels * replicates);
        const std::string bytes = SerializeStudy(StudyWith(levels, replicates));
        const CalibrationStudy back = ParseStudyFile(bytes, "x.w8c");
        ASSERT_EQ(back.ResponseRows(), levels * replicates);
        if (replicates > 0) {
            EXPECT_EQ(back.ResponseCell(1, levels * replicates),
                      std::to_string(levels * replicates - 1) + ",25");
            EXPECT_EQ(back.ResponseCell(0, levels * replicates), ResponseLabel(levels, replicates));
        }
        EXPECT_EQ(SerializeStudy(back), bytes);
    }
}

TEST(StudyFileWriteTest, LevelCountAndReplicatesDecideWhatIsWritten) {
    // One level of two columns is written; N = 8 with six response rows
    // writes two empty responses.
    CalibrationStudy study = ExampleStudy();
    study.LevelCount = "1";
    study.Levels[0].ReplicateCount = "8";
    const std::string bytes = SerializeStudy(study);
    EXPECT_EQ(bytes.substr(bytes.find("Regresi\xF3n\r\n") + 11),
              "1\r\n0.5\r\n8\r\n8\r\n"
              "10.1\r\n10.3\r\n9.9\r\n20.2\r\n19.8\r\n20.0\r\n\r\n\r\n"
              "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    // A level count beyond the level columns reads their cells as empty,
    // and an empty replicate count is no integer.
    study.LevelCount = "3";
    EXPECT_THROW(SerializeStudy(study), ConversionError);
}

TEST(StudyFileWriteTest, RefusedStudiesLeaveTheExistingFileUntouched) {
    const struct {
        const char* Name;
        std::function<void(CalibrationStudy&)> Change;
        std::string Message;
    } cases[] = {
        {"non-integer count", [](CalibrationStudy& s) { s.Levels[0].ReplicateCount = "2.5"; },
         "'2.5' is not a valid integer value"},
        {"negative count", [](CalibrationStudy& s) { s.Levels[1].ReplicateCount = "-1"; },
         "La replicación del nivel 2 es negativa."},
        {"too many responses", [](CalibrationStudy& s) { s.Levels[1].ReplicateCount = "99999"; },
         "El número total de datos (100002) supera el máximo de 100000 que admite el archivo."},
        {"level count", [](CalibrationStudy& s) { s.LevelCount = "11"; },
         "El número de niveles de cantidad adicionada está fuera de rango (1-10)."},
        {"method", [](CalibrationStudy& s) { s.MethodName = "Método 中"; },
         "El campo \"Nombre del método\" tiene un carácter que no se puede guardar en el archivo."},
        {"units", [](CalibrationStudy& s) { s.AddedQuantityUnits = "mg → g"; },
         "El campo \"Unidades de la cantidad adicionada\" tiene un carácter que no se puede "
         "guardar en el archivo."},
        {"date", [](CalibrationStudy& s) { s.StudyDate = "\xFF"; },
         "El campo \"Fecha\" tiene un carácter que no se puede guardar en el archivo."},
        {"level value", [](CalibrationStudy& s) { s.Levels[1].AddedQuantity = "1→"; },
         "El campo \"Valor del nivel 2\" tiene un carácter que no se puede guardar en el archivo."},
        {"analyst", [](CalibrationStudy& s) { s.AnalystName = "Ana\rNúñez"; },
         "El campo \"Nombre del Analista\" tiene un salto de línea, que no se puede guardar en el "
         "archivo."},
        {"response", [](CalibrationStudy& s) { s.Responses[3].Response = "20\n2"; },
         "El campo \"Dato 4\" tiene un salto de línea, que no se puede guardar en el archivo."},
        {"second column", [](CalibrationStudy& s) { s.Responses[0].SecondDataColumn = "中"; },
         "El campo \"Dato 1 (segunda columna)\" tiene un carácter que no se puede guardar en el "
         "archivo."},
        {"long response",
         [](CalibrationStudy& s) { s.Responses[3].Response = std::string(256, '1'); },
         "El campo \"Dato 4\" tiene más de 255 caracteres, que no se pueden guardar en el "
         "archivo."},
        {"long type",
         [](CalibrationStudy& s) { s.CalculationType = "Regresión" + std::string(247, ' '); },
         "El campo \"Curva de Calibración\" tiene más de 255 caracteres, que no se pueden "
         "guardar en el archivo."},
    };
    TempFolder folder;
    const std::string path = folder.File("bueno.w8c");
    const std::string good = "contenido anterior\r\n";
    WriteBytes(path, good);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        CalibrationStudy study = ExampleStudy();
        c.Change(study);
        if (c.Message.front() == '\'')
            EXPECT_THROW_MSG(WriteStudyFile(study, path), ConversionError, c.Message);
        else
            EXPECT_THROW_MSG(WriteStudyFile(study, path), StudyError, c.Message);
        EXPECT_EQ(ReadBytes(path), good);
        EXPECT_EQ(folder.Listing(), "bueno.w8c;");
    }
}

TEST(StudyFileWriteTest, ValuesUpToTheLimitInCharactersAreWritten) {
    CalibrationStudy study = ExampleStudy();
    std::string accented;
    for (std::size_t i = 0; i < kMaxFileValueLength; ++i)
        accented += "ó";
    study.MethodName = accented;
    study.Responses[5].SecondDataColumn = std::string(kMaxFileValueLength, '9');
    const std::string bytes = SerializeStudy(study);
    EXPECT_EQ(bytes.substr(0, kMaxFileValueLength + 2),
              std::string(kMaxFileValueLength, '\xF3') + "\r\n");
    const CalibrationStudy back = ParseStudyFile(bytes, "x.w8c");
    EXPECT_EQ(back.MethodName, accented);
    EXPECT_EQ(SerializeStudy(back), bytes);
}

TEST(StudyFileWriteTest, ReplacingKeepsPermissionsAndFollowsSymbolicLinks) {
    TempFolder folder;
    const std::string path = folder.File("real.w8c");
    WriteBytes(path, "viejo\r\n");
    ::chmod(path.c_str(), 0640);
    std::filesystem::create_symlink("real.w8c", folder.File("enlace.w8c"));
    WriteStudyFile(ExampleStudy(), folder.File("enlace.w8c"));
    EXPECT_EQ(ReadBytes(path), kExampleBytes);
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("enlace.w8c")));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(folder.Listing(), "enlace.w8c;real.w8c;");
}

TEST(StudyFileWriteTest, FileSystemFailuresRaiseTheRuntimeTexts) {
    TempFolder folder;
    std::filesystem::create_directory(folder.File("carpeta"));
    EXPECT_THROW_MSG(ReadStudyFile(folder.File("no-existe.w8c")), FileError, "File not found");
    EXPECT_THROW_MSG(ReadStudyFile(folder.File("carpeta")), FileError, "File access denied");
    EXPECT_THROW_MSG(WriteStudyFile(ExampleStudy(), folder.File("no/hay.w8c")), FileError,
                     "File not found");
    EXPECT_THROW_MSG(WriteStudyFile(ExampleStudy(), folder.File("carpeta")), FileError,
                     "File access denied");
    EXPECT_EQ(folder.Listing(), "carpeta;");
    EXPECT_TRUE(std::filesystem::is_empty(folder.File("carpeta")));

    EXPECT_EQ(FileErrorText(ENOSPC), "Disk full");
    EXPECT_EQ(FileErrorText(EROFS), "File access denied");
    EXPECT_EQ(FileErrorText(EPERM), "File access denied");
    EXPECT_EQ(FileErrorText(EIO), "I/O error " + std::to_string(EIO));
}

TEST(StudyFileWriteTest, RefusedFileNamesTheFileInTheMessage) {
    TempFolder folder;
    testing::WriteBytes(folder.File("once.w8c"), "\r\n\r\n\r\n\r\n\r\n\r\n11\r\n");
    EXPECT_THROW_MSG(ReadStudyFile(folder.File("once.w8c")), StudyError,
                     "El archivo \"once.w8c\" tiene un número de niveles fuera de rango (1-10) en "
                     "la línea 7.");
}

} // namespace
} // namespace valdex
