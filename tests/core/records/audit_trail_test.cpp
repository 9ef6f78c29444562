// The audit trail on a real SQLite file, tampered with through the sqlite3
// command as a user with write access to the database would.

#include "records/audit_trail.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace valdex {
namespace {

namespace fs = std::filesystem;

class AuditTrailTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("valdex-auditoria-" + std::to_string(getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string Db() const { return (folder_ / "auditoria.sqlite").string(); }
    std::string Head() const { return (folder_ / "estado" / "cabeza.txt").string(); }
    AuditTrail Open() const { return AuditTrail(Db(), Head()); }
    void Fill(int count) const {
        AuditTrail trail = Open();
        for (int i = 0; i < count; ++i)
            trail.Append("abierto", "{\"ruta\":\"estudio-" + std::to_string(i) + ".w8c\"}");
    }
    fs::path folder_;
};

struct Tampering {
    std::string name, sql, message;
    std::int64_t firstBad = 0;
};

std::vector<Tampering> ReadTamperings() {
    std::ifstream in(std::string(VALDEX_SOURCE_DIR) + "/tests/core/records/data/tamper.tsv");
    std::vector<Tampering> cases;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::stringstream fields(line);
        Tampering t;
        std::string bad;
        std::getline(fields, t.name, '\t');
        std::getline(fields, t.sql, '\t');
        std::getline(fields, bad, '\t');
        std::getline(fields, t.message, '\t');
        t.firstBad = std::stoll(bad);
        cases.push_back(t);
    }
    return cases;
}

TEST_F(AuditTrailTest, EveryTamperingIsFoundAtItsFirstBadEntry) {
    const std::vector<Tampering> cases = ReadTamperings();
    ASSERT_EQ(cases.size(), 8u);
    for (const Tampering& t : cases) {
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        Fill(10);
        {
            AuditVerification clean = Open().Verify();
            ASSERT_TRUE(clean.intact) << clean.message;
            EXPECT_EQ(clean.entries, 10);
        }
        std::ofstream(folder_ / "cambio.sql") << t.sql << "\n";
        const std::string command =
            "sqlite3 '" + Db() + "' < '" + (folder_ / "cambio.sql").string() + "' 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << t.name;
        // The whole chain, and the tail that a start walks when it begins
        // one entry before the bad one.
        AuditTrail trail = Open();
        const std::int64_t last = trail.Head().sequence;
        for (const AuditVerification& result :
             {trail.Verify(), trail.VerifyTail(last - t.firstBad + 2)}) {
            EXPECT_FALSE(result.intact) << t.name;
            EXPECT_EQ(result.firstBad.value_or(0), t.firstBad) << t.name << ": " << result.message;
            EXPECT_NE(result.message.find(t.message), std::string::npos)
                << t.name << ": " << result.message;
        }
    }
    // A tail that ends before an edited entry cannot see it; the whole walk does.
    fs::remove_all(folder_);
    Fill(10);
    ASSERT_EQ(std::system(("sqlite3 '" + Db() +
                           "' \"DROP TRIGGER entradas_sin_cambios; UPDATE entradas SET evento = "
                           "'x' WHERE secuencia = 2;\"")
                              .c_str()),
              0);
    const AuditVerification tail = Open().VerifyTail(5);
    EXPECT_TRUE(tail.intact) << tail.message;
    EXPECT_EQ(tail.message, "Final del registro de auditoría íntegro: entradas 6 a 10.");
    EXPECT_FALSE(Open().Verify().intact);
}

// The program itself cannot change or remove an entry.
TEST_F(AuditTrailTest, EntriesAreNeverUpdatedOrDeleted) {
    Fill(2);
    for (const char* sql : {"UPDATE entradas SET evento = 'x'", "DELETE FROM entradas"}) {
        const std::string command = "sqlite3 '" + Db() + "' \"" + sql + "\" 2>/dev/null";
        EXPECT_NE(std::system(command.c_str()), 0) << sql;
    }
    EXPECT_TRUE(Open().Verify().intact);
}

// A cut tail is found against a signed report's head even without the head file.
TEST_F(AuditTrailTest, ASignedHeadFindsACutTailAndARebuiltChain) {
    Fill(6);
    ChainHead signedHead = Open().Head();
    ASSERT_EQ(signedHead.sequence, 6);
    fs::remove(Head());
    EXPECT_TRUE(Open().Verify({signedHead}).intact);
    ChainHead other = signedHead;
    other.hash[0] = other.hash[0] == 'a' ? 'b' : 'a';
    const AuditVerification rebuilt = Open().Verify({other});
    EXPECT_FALSE(rebuilt.intact);
    EXPECT_EQ(rebuilt.firstBad.value_or(0), 6);
    signedHead.sequence = 9;
    EXPECT_FALSE(Open().Verify({signedHead}).intact);
}

TEST_F(AuditTrailTest, TwoProcessesWritingAtOnceLoseNothing) {
    Fill(1);
    constexpr int kEach = 150;
    std::vector<pid_t> children;
    for (int p = 0; p < 2; ++p) {
        const pid_t pid = fork();
        if (pid == 0) {
            int status = 0;
            try {
                AuditTrail trail = Open();
                for (int i = 0; i < kEach; ++i)
                    trail.Append("calcular", "{\"proceso\":" + std::to_string(p) + "}");
            } catch (...) {
                status = 1;
            }
            _exit(status);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = -1;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const AuditVerification result = Open().Verify();
    EXPECT_TRUE(result.intact) << result.message;
    EXPECT_EQ(result.entries, 1 + 2 * kEach);
    EXPECT_EQ(result.head.sequence, 1 + 2 * kEach);
}

// Each entry is flushed to the disk before Append returns; the flush is the
// disk's own cost (about 5 ms on a virtual disk), measured here beside it, and
// what the trail adds to it must stay under 5 ms.
TEST_F(AuditTrailTest, OneEntryTakesUnderFiveMillisecondsBesidesTheDiskFlush) {
    using Clock = std::chrono::steady_clock;
    constexpr int kEntries = 100;
    // The medians, which the other processes of a shared machine move least.
    auto median = [](std::vector<double> times) {
        std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
        return times[times.size() / 2];
    };
    auto time = [](auto&& step) {
        const auto start = Clock::now();
        step();
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    const std::string probe = (folder_ / "sonda").string();
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    std::vector<double> flushes, entries;
    AuditTrail trail = Open();
    // In turn, so that both see the same load.
    for (int i = 0; i < kEntries; ++i) {
        flushes.push_back(time([fd] {
            if (::write(fd, "entrada", 7) == 7) ::fdatasync(fd);
        }));
        entries.push_back(time([&trail] { trail.Append("guardado", "{\"sha256\":\"abc\"}"); }));
    }
    ::close(fd);
    const double flush = median(flushes), entry = median(entries);
    std::cout << "Una entrada: " << entry << " ms; una escritura a disco: " << flush << " ms\n";
    EXPECT_LT(entry - flush, 5.0);
}

TEST_F(AuditTrailTest, FiltersAndCsvKeepEveryField) {
    AuditTrail trail = Open();
    trail.Append("abierto", R"({"ruta":"/lab/a.w8c","sha256":"aaa"})");
    trail.Append("guardado", R"({"ruta":"/lab/b.w8c","motivo":"dijo \"sí\""})");
    AuditFilter byFile;
    byFile.study = "/lab/b.w8c";
    ASSERT_EQ(trail.Entries(byFile).size(), 1u);
    AuditFilter byHash;
    byHash.study = "/ninguno";
    byHash.studyHash = "aaa";
    EXPECT_EQ(trail.Entries(byHash).size(), 1u);
    AuditFilter byDay;
    byDay.from = "2000-01-01";
    byDay.to = "2000-12-31";
    EXPECT_TRUE(trail.Entries(byDay).empty());
    const std::string csv = AuditCsv(trail.Entries(byFile));
    EXPECT_NE(csv.find(R"("{""ruta"":""/lab/b.w8c"",""motivo"":""dijo \""sí\""""}")"),
              std::string::npos)
        << csv;
}

} // namespace
} // namespace valdex
