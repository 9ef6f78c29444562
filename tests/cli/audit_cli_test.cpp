// The audit trail as valdex-cli keeps it: an entry for every subcommand,
// the listing and its verification, and saves killed at any moment.

#include "run_cli.h"

#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace valdex::testing {
namespace {

using AuditCliTest = OwnAuditTrailTest;

const std::string kData = VALDEX_TEST_DATA_DIR;

// Each subcommand, as it ends, and what its entry says.
TEST_F(AuditCliTest, EverySubcommandLeavesAnEntry) {
    const std::string pdf = scratch_.File("grafico.pdf");
    // A name that is not UTF-8 and holds a quote: kept as JSON, the byte
    // as U+FFFD.
    const std::string odd = scratch_.File("\xFF\"q.w8c");
    std::filesystem::copy_file(kData + "/din32645.w8c", odd);
    struct Case {
        std::string args, event, detail;
    };
    const std::vector<Case> cases = {
        {"calcular " + Quote(kData + "/din32645.w8c"), "calcular", "\"resultado\":\"correcto\""},
        {"diagnostico " + Quote(kData + "/din32645.w8c"), "diagnostico", "\"estudios\":[{"},
        {"grafico " + Quote(kData + "/din32645.w8c") + " --pdf " + Quote(pdf), "grafico",
         "\"archivos_escritos\":[{\"ruta\":\"" + pdf + "\",\"sha256\":\""},
        {"calcular " + Quote(kData + "/un-nivel.w8c"), "fallido", "\"estado\":1"},
        {"calcular --desconocida", "fallido", "\"resultado\":\"rechazado\""},
        {"calcular " + Quote(odd), "calcular",
         "\"estudios\":[{\"ruta\":\"" + scratch_.File("\xEF\xBF\xBD\\\"q.w8c") +
             "\",\"sha256\":\""},
    };
    for (const Case& c : cases) {
        RunValdexCli(c.args);
        const std::vector<AuditEntry> entries = Trail().Entries();
        ASSERT_FALSE(entries.empty()) << c.args;
        EXPECT_EQ(entries.back().event, c.event) << c.args;
        EXPECT_NE(entries.back().details.find(c.detail), std::string::npos)
            << c.args << "\n"
            << entries.back().details;
    }
    const CliRun verify = RunValdexCli("auditoria --verificar");
    EXPECT_EQ(verify.status, 0) << verify.err;
    EXPECT_NE(verify.out.find("íntegro: 6 entradas"), std::string::npos) << verify.out;
    const CliRun csv = RunValdexCli("auditoria --csv --estudio " + Quote(kData + "/din32645.w8c"));
    // The copy under the odd name has the same SHA-256, and counts too.
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 1 + 4) << csv.out;
}

TEST_F(AuditCliTest, VerificationNamesTheFirstBadEntry) {
    for (int i = 0; i < 4; ++i)
        RunValdexCli("calcular " + Quote(kData + "/din32645.w8c"));
    const std::string sql =
        "DROP TRIGGER entradas_sin_cambios; UPDATE entradas SET usuario = 'otro' "
        "WHERE secuencia = 2;";
    ASSERT_EQ(std::system(("sqlite3 " + Quote(scratch_.File("datos") + "/valdex/auditoria.sqlite") +
                           " " + Quote(sql))
                              .c_str()),
              0);
    const CliRun verify = RunValdexCli("auditoria --verificar");
    EXPECT_EQ(verify.status, 1);
    EXPECT_NE(verify.err.find("La entrada 2 fue alterada."), std::string::npos) << verify.err;
}

// valdex-cli importar --reemplazar killed at a random moment, 200 times: the
// study holds its old bytes or the new ones, and the trail opens and verifies.
TEST_F(AuditCliTest, SavesKilledAtAnyMomentLeaveTheStudyAndTheTrailWhole) {
    const std::string study = scratch_.File("estudio.w8c");
    const std::vector<std::string> tables = {kData + "/tres-niveles.csv",
                                             kData + "/cadmium_epa1997.csv"};
    std::vector<std::string> contents;
    for (const std::string& table : tables) {
        ASSERT_EQ(
            RunValdexCli("importar " + Quote(table) + " --salida " + Quote(study) + " --reemplazar")
                .status,
            0);
        contents.push_back(ReadText(study));
    }
    ASSERT_NE(contents[0], contents[1]);
    const std::string program = std::string(VALDEX_BIN_DIR) + "/valdex-cli";
    std::mt19937 random(17);
    int killed = 0;
    for (int run = 0; run < 200; ++run) {
        const std::string& table = tables[run % 2];
        const pid_t pid = fork();
        if (pid == 0) {
            execl(program.c_str(), program.c_str(), "importar", table.c_str(), "--salida",
                  study.c_str(), "--reemplazar", static_cast<char*>(nullptr));
            _exit(127);
        }
        usleep(std::uniform_int_distribution<unsigned>(0, 12000)(random));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        killed += WIFSIGNALED(status);
        const std::string now = ReadText(study);
        ASSERT_TRUE(now == contents[0] || now == contents[1]) << "vez " << run;
        const AuditVerification chain = Trail().Verify();
        ASSERT_TRUE(chain.intact) << "vez " << run << ": " << chain.message;
    }
    EXPECT_GT(killed, 50);
}

} // namespace
} // namespace valdex::testing
