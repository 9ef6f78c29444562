// Files that once made valdex-cli hang, race or swell, with the real binary:
// a pipe named as a study or a table is refused at once by every
// subcommand; two imports racing for one new name leave exactly one winner;
// importing any table stays well under 100 MB of memory.

#include "run_cli.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace valdex {
namespace {

using namespace valdex::testing;

struct Finished {
    int status = -1;
    long peakKiB = 0;
    std::string err;
};

// Starts valdex-cli with `args` (no shell), standard error to `errFile`.
pid_t Start(const std::vector<std::string>& args, const std::string& errFile) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(err, 2);
        std::vector<std::string> argv = {std::string(VALDEX_BIN_DIR) + "/valdex-cli"};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> raw;
        for (std::string& arg : argv)
            raw.push_back(arg.data());
        raw.push_back(nullptr);
        ::setenv("LC_ALL", "C", 1);
        ::execv(raw[0], raw.data());
        ::_exit(127);
    }
    return pid;
}

// Waits for it, killing it after `seconds` (status -1 then).
Finished Wait(pid_t pid, const std::string& errFile, int seconds = 30) {
    Finished done;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int raw = 0;
    rusage usage{};
    while (::wait4(pid, &raw, WNOHANG, &usage) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::wait4(pid, &raw, 0, &usage);
            done.err = ReadText(errFile);
            return done;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    done.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    done.peakKiB = usage.ru_maxrss;
    done.err = ReadText(errFile);
    return done;
}

Finished RunWatched(const std::vector<std::string>& args, const ScratchFolder& folder) {
    const std::string err = folder.File("err");
    return Wait(Start(args, err), err);
}

TEST(HostileFilesTest, APipeIsRefusedAtOnceByEverySubcommand) {
    ScratchFolder folder;
    const std::string pipe = folder.File("f.w8c");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string refused =
        "El archivo \"f.w8c\" no es un archivo común, es una tubería; no se lee.\n";
    const std::vector<std::vector<std::string>> commands = {
        {"calcular", pipe},
        {"calcular", "--json", pipe},
        {"calcular", "--csv", pipe},
        {"informe", pipe},
        {"imprimir", pipe, "--diseno", "lasser", "--pagina", "1", "--pdf", folder.File("p.pdf")},
        {"diagnostico", pipe},
        {"interpolar", pipe, "3"},
        {"grafico", pipe, "--pdf", folder.File("g.pdf")},
        {"importar", pipe, "--salida", folder.File("e.w8c")},
    };
    for (const auto& args : commands) {
        SCOPED_TRACE(args[0] + " " + args[1]);
        const Finished run = RunWatched(args, folder);
        EXPECT_EQ(run.status, 1) << "hung or crashed";
        EXPECT_NE(run.err.find(refused), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(folder.File("e.w8c")));
    }
}

TEST(HostileFilesTest, TwoImportsRacingForANewNameLeaveExactlyOneWinner) {
    ScratchFolder folder;
    const std::string table = folder.File("datos.csv");
    WriteText(table, "1;10\n1;11\n2;20\n2;21\n3;30\n3;31\n");
    const std::string study = folder.File("estudio.w8c");
    const std::string loserMessage =
        "valdex-cli: " + study + ": ya existe; no se reemplaza sin --reemplazar.\n";
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        fs::remove(study);
        const std::string errA = folder.File("err-a"), errB = folder.File("err-b");
        const pid_t a = Start({"importar", table, "--salida", study, "--metodo", "A"}, errA);
        const pid_t b = Start({"importar", table, "--salida", study, "--metodo", "B"}, errB);
        const Finished first = Wait(a, errA), second = Wait(b, errB);
        ASSERT_EQ((first.status == 0) + (second.status == 0), 1) << first.err << "\n" << second.err;
        const Finished& loser = first.status == 0 ? second : first;
        EXPECT_EQ(loser.status, 1);
        EXPECT_EQ(loser.err, loserMessage);
        // The winner's study, whole.
        EXPECT_EQ(ReadText(study).substr(0, 3), first.status == 0 ? "A\r\n" : "B\r\n");
        EXPECT_EQ(fs::file_size(study), ReadText(study).size());
    }
    // No temporary file stays behind.
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::path(study).parent_path()))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"datos.csv", "err-a", "err-b", "estudio.w8c"}));
}

// The peak memory of importing the largest tables: one line of 51 MB, and
// 100 000 measurements whose every value is as long as a study file takes.
TEST(HostileFilesTest, ImportingAnyTableStaysWellUnder100MB) {
    ScratchFolder folder;
    {
        // Written and let go before valdex-cli starts: a forked child counts
        // its parent's memory until it runs the program.
        std::string largest;
        const std::string longValue = "1." + std::string(253, '5');
        for (int i = 0; i < 100'000; ++i)
            largest += std::to_string(i % 10) + longValue.substr(1) + ";" + longValue + "\n";
        WriteText(folder.File("mayor.csv"), largest);
        WriteText(folder.File("una-linea.csv"), std::string(51'000'000, '1'));
    }
    const struct {
        std::string name;
        int status;
        std::string message; // the error output after the table's name
    } cases[] = {
        {"una-linea.csv", 1,
         ", línea 1: la línea tiene más de 16384 caracteres, más de lo que ocupa una medición.\n"},
        {"mayor.csv", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string table = folder.File(c.name);
        const std::string study = folder.File(c.name + ".w8c");
        const Finished run = RunWatched({"importar", table, "--salida", study}, folder);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.err, c.status == 0 ? "" : "valdex-cli: " + table + c.message);
#if !defined(__SANITIZE_ADDRESS__)
        // 80 MiB today for the largest table, 17 of them the program itself.
        EXPECT_LT(run.peakKiB, 90 * 1024) << "peak " << run.peakKiB / 1024 << " MiB";
#endif
        EXPECT_EQ(fs::exists(study), c.status == 0);
        fs::remove(table);
    }
    // The largest study came out whole: 10 levels, 100 000 responses.
    const std::string study = ReadText(folder.File("mayor.csv.w8c"));
    EXPECT_NE(study.find("\r\n100000\r\n"), std::string::npos);
}

} // namespace
} // namespace valdex
