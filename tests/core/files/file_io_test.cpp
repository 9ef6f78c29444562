// The safe writer against failing system calls, targets that are not
// regular files and the leftovers of a killed save; the bounded read.

#include "files/file_io.h"

#include "../support/expect_throw.h"
#include "base/app_error.h"
#include "study_file_test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace valdex {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

// Passes every call to the system except the `failAt`-th call of `kind`,
// which fails with `error` (Close after closing, as the real call does).
class FailingCalls : public FileSystemCalls {
public:
    enum Kind { kOpen, kWrite, kFsync, kRename, kClose };
    FailingCalls(Kind kind, int error, int failAt = 1)
        : kind_(kind), error_(error), left_(failAt) {}

    int Open(const char* path, int flags, unsigned mode) override {
        if (Fails(kOpen)) return -1;
        return FileSystemCalls::Open(path, flags, mode);
    }
    long Write(int fd, const void* data, std::size_t size) override {
        if (Fails(kWrite)) return -1;
        // Short writes all along: the writer must go on where it stopped.
        return FileSystemCalls::Write(fd, data, size > 3 ? 3 : size);
    }
    int Fsync(int fd) override {
        if (Fails(kFsync)) return -1;
        return FileSystemCalls::Fsync(fd);
    }
    int Rename(const char* from, const char* to) override {
        if (Fails(kRename)) return -1;
        return FileSystemCalls::Rename(from, to);
    }
    int Close(int fd) override {
        const int result = FileSystemCalls::Close(fd);
        if (Fails(kClose)) return -1;
        return result;
    }

private:
    bool Fails(Kind kind) {
        if (kind != kind_ || left_ == 0 || --left_ > 0) return false;
        errno = error_;
        return true;
    }
    Kind kind_;
    int error_;
    int left_;
};

TEST(FileIoTest, EveryFailingCallLeavesTheEarlierFileAndNoTemporary) {
    const struct {
        const char* Name;
        FailingCalls::Kind Kind;
        int Error;
        int FailAt;
        std::string Message;
    } cases[] = {
        {"open", FailingCalls::kOpen, EACCES, 1, "File access denied"},
        {"first write", FailingCalls::kWrite, ENOSPC, 1, "Disk full"},
        {"a later write", FailingCalls::kWrite, ENOSPC, 4, "Disk full"},
        {"fsync", FailingCalls::kFsync, EIO, 1, "I/O error " + std::to_string(EIO)},
        {"close", FailingCalls::kClose, EIO, 1, "I/O error " + std::to_string(EIO)},
        {"rename", FailingCalls::kRename, EXDEV, 1, "I/O error " + std::to_string(EXDEV)},
        {"rename denied", FailingCalls::kRename, EPERM, 1, "File access denied"},
    };
    const std::string earlier = "contenido anterior\r\n\xF3\r\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TempFolder folder;
        const std::string path = folder.File("ensayo.w8c");
        WriteBytes(path, earlier);
        FailingCalls calls(c.Kind, c.Error, c.FailAt);
        EXPECT_THROW_MSG(ReplaceFileContent(path, "nuevo contenido", calls), FileError, c.Message);
        EXPECT_EQ(ReadBytes(path), earlier);
        EXPECT_EQ(folder.Listing(), "ensayo.w8c;");

        // A target that did not exist is not created either.
        FailingCalls again(c.Kind, c.Error, c.FailAt);
        EXPECT_THROW_MSG(ReplaceFileContent(folder.File("nuevo.w8c"), "nuevo contenido", again),
                         FileError, c.Message);
        EXPECT_EQ(folder.Listing(), "ensayo.w8c;");
    }
}

TEST(FileIoTest, InterruptedAndShortWritesGoOnToTheEnd) {
    TempFolder folder;
    const std::string path = folder.File("ensayo.w8c");
    FailingCalls calls(FailingCalls::kWrite, EINTR, 2);
    const std::string bytes = "una línea\r\notra\r\n";
    ReplaceFileContent(path, bytes, calls);
    EXPECT_EQ(ReadBytes(path), bytes);
    EXPECT_EQ(folder.Listing(), "ensayo.w8c;");
}

// The state of a directory entry, for "it was left as it was".
std::string Kind(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return "missing";
    if (S_ISLNK(info.st_mode)) return "link to " + fs::read_symlink(path).string();
    if (S_ISFIFO(info.st_mode)) return "fifo";
    if (S_ISSOCK(info.st_mode)) return "socket";
    if (S_ISCHR(info.st_mode)) return "device";
    if (S_ISDIR(info.st_mode)) return "folder";
    return "file";
}

TEST(FileIoTest, WhatIsNotARegularFileIsNeverReplaced) {
    TempFolder folder;
    const std::string fifo = folder.File("tubo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string socket = folder.File("enchufe");
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        ASSERT_LT(socket.size(), sizeof address.sun_path);
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socket.c_str());
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }
    fs::create_directory(folder.File("carpeta"));
    fs::create_symlink("tubo", folder.File("a-tubo"));
    fs::create_symlink("no-existe.w8c", folder.File("colgado"));
    fs::create_symlink("ciclo-b", folder.File("ciclo-a"));
    fs::create_symlink("ciclo-a", folder.File("ciclo-b"));
    fs::create_symlink("carpeta", folder.File("a-carpeta"));
    fs::create_symlink("/dev/null", folder.File("a-null"));
    fs::create_symlink("/proc/self/fd/1", folder.File("a-salida"));

    const auto refused = [](const std::string& path, const std::string& why) {
        return "No se reemplaza \"" + path + "\": " + why;
    };
    const std::string device = "no es un archivo común, es un dispositivo.";
    const struct {
        std::string Path;
        std::string Message; // empty: "File access denied"
    } cases[] = {
        {"/dev/null", refused("/dev/null", device)},
        {fifo, refused(fifo, "no es un archivo común, es una tubería.")},
        {socket, refused(socket, "no es un archivo común, es un socket.")},
        {folder.File("a-tubo"),
         refused(folder.File("a-tubo"), "no es un archivo común, es una tubería.")},
        {folder.File("a-null"), refused(folder.File("a-null"), device)},
        {folder.File("colgado"),
         refused(folder.File("colgado"), "es un enlace simbólico que no lleva a ningún archivo.")},
        {folder.File("ciclo-a"),
         refused(folder.File("ciclo-a"), "es un enlace simbólico que forma un ciclo.")},
        {folder.File("carpeta"), ""},
        {folder.File("a-carpeta"), ""},
    };
    const std::string before = folder.Listing();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Path);
        const std::string kind = Kind(c.Path);
        if (c.Message.empty())
            EXPECT_THROW_MSG(ReplaceFileContent(c.Path, "x"), FileError, "File access denied");
        else
            EXPECT_THROW_MSG(ReplaceFileContent(c.Path, "x"), StudyError, c.Message);
        EXPECT_EQ(Kind(c.Path), kind);
        EXPECT_EQ(folder.Listing(), before);
    }
    EXPECT_EQ(Kind("/dev/null"), "device");
    EXPECT_EQ(Kind(fifo), "fifo");
    EXPECT_TRUE(fs::is_empty(folder.File("carpeta")));

    // The standard output through /proc is whatever the test runs with (a
    // pipe, a terminal, a file): it is replaced only when it is a file.
    struct stat out {};
    ASSERT_EQ(::fstat(1, &out), 0);
    if (!S_ISREG(out.st_mode)) {
        try {
            ReplaceFileContent(folder.File("a-salida"), "x");
            ADD_FAILURE() << "the standard output was replaced";
        } catch (const StudyError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(refused(folder.File("a-salida"), ""), 0), 0u)
                << error.what();
        }
        EXPECT_EQ(Kind(folder.File("a-salida")), "link to /proc/self/fd/1");
    }
}

TEST(FileIoTest, ALinkToARegularFileHasThatFileReplaced) {
    TempFolder folder;
    fs::create_directory(folder.File("real"));
    WriteBytes(folder.File("real/estudio.w8c"), "viejo");
    fs::create_symlink("real/estudio.w8c", folder.File("enlace.w8c"));
    fs::create_symlink("enlace.w8c", folder.File("enlace2.w8c"));
    ReplaceFileContent(folder.File("enlace2.w8c"), "nuevo");
    EXPECT_EQ(ReadBytes(folder.File("real/estudio.w8c")), "nuevo");
    EXPECT_EQ(Kind(folder.File("enlace.w8c")), "link to real/estudio.w8c");
    EXPECT_EQ(Kind(folder.File("enlace2.w8c")), "link to enlace.w8c");
    EXPECT_EQ(folder.Listing(), "enlace.w8c;enlace2.w8c;real;");
    EXPECT_EQ(testing::TempFolder::ListingOf(folder.File("real")), "estudio.w8c;");
}

// The id of a process that has ended.
long DeadPid() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST(FileIoTest, TheNextSaveRemovesOnlyItsOwnStaleTemporaries) {
    TempFolder folder;
    const std::string target = "ensayo.w8c";
    WriteBytes(folder.File(target), "viejo");
    const long dead = DeadPid();
    const long alive = static_cast<long>(::getppid());
    const std::string staleNew = TemporaryFileName(target, dead, 0);
    const std::string staleOld = ".ensayo.w8c." + std::to_string(dead) + "-3.tmp";
    const std::string live = TemporaryFileName(target, alive, 0);
    const std::string otherTarget = TemporaryFileName("otro.w8c", dead, 0);
    const std::string notOurs = ".ensayo.w8c.abc-1.tmp";
    const std::string staleFolder = TemporaryFileName(target, dead, 1);
    const std::string staleLink = TemporaryFileName(target, dead, 2);
    for (const std::string& name : {staleNew, staleOld, live, otherTarget, notOurs})
        WriteBytes(folder.File(name), std::string(1000, 'x'));
    fs::create_directory(folder.File(staleFolder));
    fs::create_symlink(target, folder.File(staleLink));

    ReplaceFileContent(folder.File(target), "nuevo");
    EXPECT_EQ(ReadBytes(folder.File(target)), "nuevo");
    for (const std::string& gone : {staleNew, staleOld})
        EXPECT_FALSE(fs::exists(folder.File(gone))) << gone;
    for (const std::string& kept : {live, otherTarget, notOurs, staleFolder, staleLink})
        EXPECT_TRUE(fs::exists(fs::symlink_status(folder.File(kept)))) << kept;
}

TEST(FileIoTest, LongestFileNamesGetATemporaryNameThatFits) {
    TempFolder folder;
    std::string accented;
    for (int i = 0; i < 125; ++i)
        accented += "ó"; // 250 bytes
    const std::string names[] = {std::string(250, 'a'), std::string(255, 'b'), accented,
                                 accented + "12345"};
    for (const std::string& name : names) {
        SCOPED_TRACE(name.size());
        const std::string temporary = TemporaryFileName(name, 2147483647L, 99);
        EXPECT_LE(temporary.size(), 255u);
        EXPECT_EQ(temporary.front(), '.');
        ReplaceFileContent(folder.File(name), "contenido");
        EXPECT_EQ(ReadBytes(folder.File(name)), "contenido");
        ReplaceFileContent(folder.File(name), "otro");
        EXPECT_EQ(ReadBytes(folder.File(name)), "otro");
    }
    // Two names cut to the same beginning still have temporaries of their own.
    EXPECT_NE(TemporaryFileName(std::string(250, 'a') + "1", 7, 0),
              TemporaryFileName(std::string(250, 'a') + "2", 7, 0));
    EXPECT_EQ(folder.Listing().find(".tmp"), std::string::npos);
}

TEST(FileIoTest, ReadingStopsAtTheLimit) {
    TempFolder folder;
    const std::string path = folder.File("escaso.w8c");
    WriteBytes(path, "");
    // A sparse file: measured, never read.
    ASSERT_EQ(::truncate(path.c_str(), 5'000'000'000LL), 0);
    EXPECT_FALSE(ReadFileBytes(path, 1000).has_value());
    ASSERT_EQ(::truncate(path.c_str(), 1000), 0);
    EXPECT_EQ(ReadFileBytes(path, 1000), std::string(1000, '\0'));
    EXPECT_THROW_MSG(ReadFileBytes(folder.File("no-existe"), 10), FileError, "File not found");
}

// A pipe nobody writes to, a device, a socket: refused at once by both
// readers, never waited on (the alarm ends a read that would hang).
TEST(FileIoTest, WhatIsNotARegularFileIsRefusedUnread) {
    TempFolder folder;
    const std::string fifo = folder.File("tubo.w8c");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("tubo.w8c", folder.File("a-tubo.w8c"));
    fs::create_directory(folder.File("carpeta.w8c"));
    const auto refused = [](const std::string& name, const std::string& kind) {
        return "El archivo \"" + name + "\" no es un archivo común, es " + kind + "; no se lee.";
    };
    const struct {
        std::string path;
        std::string message; // empty: FileError "File access denied"
    } cases[] = {
        {fifo, refused("tubo.w8c", "una tubería")},
        {folder.File("a-tubo.w8c"), refused("a-tubo.w8c", "una tubería")},
        {"/dev/zero", refused("zero", "un dispositivo")},
        {"/dev/null", refused("null", "un dispositivo")},
        {folder.File("carpeta.w8c"), ""},
    };
    const auto lines = [](const std::string& path) {
        return ReadFileLines(path, 1000, 100, [](std::string_view, int) {});
    };
    ::alarm(20);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        if (c.message.empty()) {
            EXPECT_THROW_MSG(ReadFileBytes(c.path, 1000), FileError, "File access denied");
            EXPECT_THROW_MSG(lines(c.path), FileError, "File access denied");
        } else {
            EXPECT_THROW_MSG(ReadFileBytes(c.path, 1000), StudyError, c.message);
            EXPECT_THROW_MSG(lines(c.path), StudyError, c.message);
        }
    }
    ::alarm(0);
}

// Lines come one at a time with their numbers; a file or a line past its
// bound stops the reading where it is seen.
TEST(FileIoTest, LinesAreHandedOutOneAtATimeWithinTheirBounds) {
    TempFolder folder;
    const std::string path = folder.File("tabla.csv");
    const struct {
        std::string bytes;
        std::size_t maxBytes, maxLine;
        std::string lines; // "number:text|" for each line handed out
        LineReadEnd::Kind end;
        int endLine;
    } cases[] = {
        {"a\nbb\r\n\nccc", 100, 3, "1:a|2:bb\r|3:|4:ccc|", LineReadEnd::kComplete, 0},
        {"a\nbb\n", 100, 3, "1:a|2:bb|", LineReadEnd::kComplete, 0},
        {"", 100, 3, "", LineReadEnd::kComplete, 0},
        {"a\nbbbb\nc\n", 100, 3, "1:a|", LineReadEnd::kLineTooLong, 2},
        {"a\n" + std::string(200'000, 'x'), 1'000'000, 70'000, "1:a|", LineReadEnd::kLineTooLong,
         2},
        {std::string(100'000, 'x') + "\ny", 1'000'000, 100'000,
         "1:" + std::string(100'000, 'x') + "|2:y|", LineReadEnd::kComplete, 0},
        {"a\nb\n", 3, 3, "", LineReadEnd::kFileTooLarge, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.substr(0, 20));
        WriteBytes(path, c.bytes);
        std::string seen;
        const LineReadEnd end =
            ReadFileLines(path, c.maxBytes, c.maxLine, [&](std::string_view line, int number) {
                seen += std::to_string(number) + ":" + std::string(line) + "|";
            });
        EXPECT_EQ(seen, c.lines);
        EXPECT_EQ(end.kind, c.end);
        EXPECT_EQ(end.line, c.endLine);
    }
}

// A new file is made whole under its name or not at all: an existing name
// (a file, a link leading nowhere) is kept, a failing link loses nothing,
// and no temporary stays behind either way.
TEST(FileIoTest, CreatingNeverReplaces) {
    TempFolder folder;
    const std::string fresh = folder.File("nuevo.w8c");
    EXPECT_TRUE(CreateFileContent(fresh, "nuevo"));
    EXPECT_EQ(ReadBytes(fresh), "nuevo");
    EXPECT_FALSE(CreateFileContent(fresh, "otro"));
    EXPECT_EQ(ReadBytes(fresh), "nuevo");
    fs::create_symlink("no-existe.w8c", folder.File("colgado.w8c"));
    EXPECT_FALSE(CreateFileContent(folder.File("colgado.w8c"), "otro"));
    EXPECT_FALSE(fs::exists(folder.File("no-existe.w8c")));

    struct FailingLink : FileSystemCalls {
        int Link(const char*, const char*) override {
            errno = ENOSPC;
            return -1;
        }
    } failing;
    EXPECT_THROW_MSG(CreateFileContent(folder.File("lleno.w8c"), "x", failing), FileError,
                     "Disk full");
    FailingCalls failingWrite(FailingCalls::kWrite, EIO);
    EXPECT_THROW_MSG(CreateFileContent(folder.File("roto.w8c"), "x", failingWrite), FileError,
                     "I/O error 5");
    EXPECT_EQ(folder.Listing(), "colgado.w8c;nuevo.w8c;");
}

} // namespace
} // namespace valdex
