#pragma once
// Shared by the study file tests: a scratch folder and the two-level study of
// the worked example with its exact bytes.

#include "study/calibration_study.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <stdlib.h>

namespace valdex::testing {

class TempFolder {
public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "valdex-files-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

    // Names of the entries, sorted, to see that nothing was left behind.
    std::string Listing() const { return ListingOf(path_); }
    static std::string ListingOf(const std::filesystem::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        std::string text;
        for (const auto& name : names)
            text += name + ";";
        return text;
    }

private:
    std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Levels 0.5 and 1.0 with three replicates each, as the window holds it.
inline CalibrationStudy ExampleStudy() {
    CalibrationStudy study = CalibrationStudy::MakeNew();
    study.MethodName = "Cromatografía";
    study.AnalystName = "Ana Núñez";
    study.StudyDate = "12/03/1999";
    study.MeasuredProperty = "Área";
    study.AddedQuantityUnits = "mg";
    study.CalculationType = "Regresión";
    study.LevelCount = "2";
    study.SetLevelColumns(2);
    study.Levels[0] = {"Nivel 1", "0.5", "3"};
    study.Levels[1] = {"Nivel 2", "1.0", "3"};
    study.SetResponseRows(6);
    const char* responses[] = {"10.1", "10.3", "9.9", "20.2", "19.8", "20.0"};
    for (int r = 0; r < 6; ++r)
        study.Responses[r].Response = responses[r];
    return study;
}

inline const std::string kExampleBytes = "Cromatograf\xED"
                                         "a\r\n"
                                         "Ana N\xFA\xF1\x65z\r\n"
                                         "12/03/1999\r\n"
                                         "\xC1rea\r\n"
                                         "mg\r\n"
                                         "Regresi\xF3n\r\n"
                                         "2\r\n"
                                         "0.5\r\n3\r\n"
                                         "1.0\r\n3\r\n"
                                         "6\r\n"
                                         "10.1\r\n10.3\r\n9.9\r\n20.2\r\n19.8\r\n20.0\r\n"
                                         "\r\n\r\n\r\n\r\n\r\n\r\n";

} // namespace valdex::testing
