#pragma once
// Runs the real valdex-cli in a locale of the test's choice and collects its
// output streams and exit status; makes the Spanish locales it needs.

#include "records/audit_trail.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace valdex::testing {

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

inline void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Single quotes for the shell.
inline std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// A scratch folder that goes with its owner.
class ScratchFolder {
public:
    ScratchFolder() {
        path_ = fs::temp_directory_path() /
                ("valdex-cli-" + std::to_string(getpid()) + "-" + std::to_string(counter_++));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~ScratchFolder() { fs::remove_all(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    static inline int counter_ = 0;
    fs::path path_;
};

// The machine has only the C locales: es_ES.UTF-8 (decimal comma) is made
// once into a folder of its own, reached through LOCPATH. Empty when it
// cannot be made.
inline std::string SpanishLocaleFolder() {
    // Made once per test process and removed when it ends.
    struct Folder {
        fs::path dir;
        bool made = false;
        Folder() {
            dir = fs::temp_directory_path() / ("valdex-locales-" + std::to_string(getpid()));
            fs::create_directories(dir);
            const std::string command = "localedef -i es_ES -f UTF-8 " +
                                        Quote((dir / "es_ES.UTF-8").string()) + " >/dev/null 2>&1";
            made = std::system(command.c_str()) == 0;
        }
        ~Folder() { fs::remove_all(dir); }
    };
    static const Folder folder;
    return folder.made ? folder.dir.string() : std::string();
}

// `args` is shell text (quote file names with Quote). `locale` "C" or
// "es_ES.UTF-8".
inline CliRun RunValdexCli(const std::string& args, const std::string& locale = "C") {
    ScratchFolder scratch;
    std::string environment = "LC_ALL=" + locale;
    if (locale != "C") environment = "LOCPATH=" + Quote(SpanishLocaleFolder()) + " " + environment;
    const std::string command = environment + " " + std::string(VALDEX_BIN_DIR) + "/valdex-cli " +
                                args + " >" + scratch.File("out") + " 2>" + scratch.File("err");
    const int raw = std::system(command.c_str());
    CliRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadText(scratch.File("out"));
    run.err = ReadText(scratch.File("err"));
    return run;
}

// A test whose valdex-cli runs keep their audit trail in a scratch folder of
// the test's own.
class OwnAuditTrailTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_DATA_HOME", scratch_.File("datos").c_str(), 1);
        setenv("XDG_STATE_HOME", scratch_.File("estado").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("XDG_DATA_HOME");
        unsetenv("XDG_STATE_HOME");
    }
    AuditTrail Trail() const {
        return AuditTrail(scratch_.File("datos") + "/valdex/auditoria.sqlite",
                          scratch_.File("estado") + "/valdex/auditoria-cabeza.txt");
    }
    ScratchFolder scratch_;
};

} // namespace valdex::testing
