#include "files/file_io.h"

#include "base/app_error.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace valdex {

namespace {

[[noreturn]] void ThrowFileError(int error) {
    throw FileError(FileErrorText(error));
}

// Up to `size` bytes of the descriptor, 0 at its end; a read that a signal
// interrupted is tried again, a failed one throws its FileError.
std::size_t ReadSome(int fd, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t count = ::read(fd, buffer, size);
        if (count >= 0) return static_cast<std::size_t>(count);
        if (errno != EINTR) ThrowFileError(errno);
    }
}

// Closes the descriptor on every way out.
class FileDescriptor {
public:
    FileDescriptor(int fd, FileSystemCalls& calls) : fd_(fd), calls_(calls) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_), calls_(other.calls_) {
        other.fd_ = -1;
    }
    ~FileDescriptor() {
        if (fd_ >= 0) calls_.Close(fd_);
    }
    int Get() const { return fd_; }
    // Closes now, reporting the failure (a delayed write error shows here).
    int Close() {
        const int result = calls_.Close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int fd_;
    FileSystemCalls& calls_;
};

int WriteAll(FileSystemCalls& calls, int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const long written = calls.Write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        // A write that makes no progress would never end.
        if (written == 0) return EIO;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

const char* KindText(mode_t mode) {
    return S_ISCHR(mode) || S_ISBLK(mode) ? "un dispositivo"
           : S_ISFIFO(mode)               ? "una tubería"
           : S_ISSOCK(mode)               ? "un socket"
                                          : "un archivo especial";
}

std::string NotRegularText(const std::string& path, mode_t mode) {
    return "No se reemplaza \"" + path + "\": no es un archivo común, es " + KindText(mode) + ".";
}

// A descriptor of the regular file at `path`, opened for reading. The name
// is looked at before it is opened, so that nothing else is ever opened,
// and the descriptor after, in case the name changed in between; opening
// does not wait, so a pipe without a writer is refused instead of hanging.
FileDescriptor OpenRegularFile(const std::string& path, struct stat& info,
                               bool* namedLink = nullptr) {
    if (::lstat(path.c_str(), &info) != 0) ThrowFileError(errno);
    const bool link = S_ISLNK(info.st_mode);
    if (namedLink != nullptr) *namedLink = link;
    if (link && ::stat(path.c_str(), &info) != 0) ThrowFileError(errno);
    RequireRegularFile(path, info.st_mode);
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY),
                        SystemCalls());
    if (file.Get() < 0) ThrowFileError(errno);
    if (::fstat(file.Get(), &info) != 0) ThrowFileError(errno);
    RequireRegularFile(path, info.st_mode);
    return file;
}

// The file to replace: the target itself, or the regular file a symbolic
// link leads to. Anything else that exists is refused; a target that does
// not exist yet is created (a missing folder shows when the temporary file
// is created).
std::string CheckedTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) return path;
        ThrowFileError(errno);
    }
    std::string target = path;
    if (S_ISLNK(info.st_mode)) {
        if (::stat(path.c_str(), &info) != 0) {
            const int error = errno;
            if (error == ENOENT)
                throw StudyError("No se reemplaza \"" + path +
                                 "\": es un enlace simbólico que no lleva a ningún archivo.");
            if (error == ELOOP)
                throw StudyError("No se reemplaza \"" + path +
                                 "\": es un enlace simbólico que forma un ciclo.");
            ThrowFileError(error);
        }
        if (S_ISREG(info.st_mode)) {
            const std::unique_ptr<char, decltype(&std::free)> resolved(
                ::realpath(path.c_str(), nullptr), &std::free);
            if (!resolved) ThrowFileError(errno);
            target = resolved.get();
        }
    }
    if (S_ISDIR(info.st_mode)) ThrowFileError(EISDIR);
    if (!S_ISREG(info.st_mode)) throw StudyError(NotRegularText(path, info.st_mode));
    return target;
}

// FNV-1a: ties a temporary name to the whole target name when the name had
// to be shortened.
std::uint32_t NameHash(std::string_view name) {
    std::uint32_t hash = 2166136261u;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

// The part of a temporary name before the process id: ".<name>.<hash>."
// with the name cut, on a character boundary, to leave room for the rest.
std::string TemporaryStem(const std::string& targetName) {
    constexpr std::size_t kKeptName = 200;
    std::size_t kept = std::min(targetName.size(), kKeptName);
    while (kept > 0 && kept < targetName.size() &&
           (static_cast<unsigned char>(targetName[kept]) & 0xC0) == 0x80)
        --kept;
    char hash[16];
    std::snprintf(hash, sizeof hash, "%08x", static_cast<unsigned>(NameHash(targetName)));
    return "." + targetName.substr(0, kept) + "." + hash + ".";
}

bool AllDigits(std::string_view text) {
    if (text.empty() || text.size() > 18) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// The process id in "<pid>-<attempt>.tmp", or -1 when `rest` is not that.
long long TemporaryPid(std::string_view rest) {
    constexpr std::string_view kSuffix = ".tmp";
    if (rest.size() <= kSuffix.size() || rest.substr(rest.size() - kSuffix.size()) != kSuffix)
        return -1;
    rest.remove_suffix(kSuffix.size());
    const std::size_t dash = rest.find('-');
    if (dash == std::string_view::npos || !AllDigits(rest.substr(0, dash)) ||
        !AllDigits(rest.substr(dash + 1)))
        return -1;
    return std::stoll(std::string(rest.substr(0, dash)));
}

// A process of that id runs (or runs under another user).
bool ProcessAlive(long long pid) {
    if (pid <= 0 || pid > INT_MAX) return true; // not a process id of ours: leave it
    if (pid == ::getpid()) return true;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

// Removes the temporary files that writers of this target which no longer
// run left behind (a save killed halfway): the names this program gives,
// with a process id that is not alive, and regular files only. Today's names
// and those of the earlier ".<name>.<pid>-<attempt>.tmp" form both count.
// Whatever cannot be removed stays; the save goes on.
void RemoveStaleTemporaries(const std::filesystem::path& folder, const std::string& targetName) {
    const std::string stems[] = {TemporaryStem(targetName), "." + targetName + "."};
    std::error_code ec;
    std::filesystem::directory_iterator entries(folder.empty() ? "." : folder, ec);
    for (; !ec && entries != std::filesystem::directory_iterator(); entries.increment(ec)) {
        const std::string name = entries->path().filename().string();
        for (const std::string& stem : stems) {
            if (name.size() <= stem.size() || name.compare(0, stem.size(), stem) != 0) continue;
            const long long pid = TemporaryPid(std::string_view(name).substr(stem.size()));
            if (pid < 0 || ProcessAlive(pid)) continue;
            std::error_code statusError;
            if (entries->symlink_status(statusError).type() == std::filesystem::file_type::regular)
                ::unlink(entries->path().c_str());
            break;
        }
    }
}

// Creates a new temporary file next to the target; the process id and a
// try count keep concurrent writers apart.
std::string CreateTemporary(const std::filesystem::path& target, FileSystemCalls& calls, int& fd) {
    const std::filesystem::path folder = target.parent_path();
    const std::string targetName = target.filename().string();
    for (int attempt = 0;; ++attempt) {
        const std::string name =
            (folder / TemporaryFileName(targetName, static_cast<long>(::getpid()), attempt))
                .string();
        fd = calls.Open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return name;
        if (errno != EEXIST || attempt == 99) ThrowFileError(errno);
    }
}

// Makes the rename itself durable; a failure here loses nothing already
// written, so it is not reported.
void SyncFolder(const std::filesystem::path& folder) {
    const std::string name = folder.empty() ? "." : folder.string();
    const int fd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

int FileSystemCalls::Open(const char* path, int flags, unsigned mode) {
    return ::open(path, flags, static_cast<mode_t>(mode));
}

long FileSystemCalls::Write(int fd, const void* data, std::size_t size) {
    return ::write(fd, data, size);
}

int FileSystemCalls::Fsync(int fd) {
    return ::fsync(fd);
}

int FileSystemCalls::Rename(const char* from, const char* to) {
    return ::rename(from, to);
}

int FileSystemCalls::Link(const char* from, const char* to) {
    return ::link(from, to);
}

int FileSystemCalls::Close(int fd) {
    return ::close(fd);
}

FileSystemCalls& SystemCalls() {
    static FileSystemCalls calls;
    return calls;
}

std::string FileErrorText(int error) {
    switch (error) {
    case ENOENT:
        return "File not found";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return "File access denied";
    case ENOSPC:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(error);
    }
}

std::string TemporaryFileName(const std::string& targetName, long pid, int attempt) {
    return TemporaryStem(targetName) + std::to_string(pid) + "-" + std::to_string(attempt) + ".tmp";
}

void RequireRegularFile(const std::string& path, unsigned mode) {
    if (S_ISREG(mode)) return;
    if (S_ISDIR(mode)) ThrowFileError(EISDIR);
    throw StudyError("El archivo \"" + QuotedText(std::filesystem::path(path).filename().string()) +
                     "\" no es un archivo común, es " + KindText(static_cast<mode_t>(mode)) +
                     "; no se lee.");
}

std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t limit,
                                         bool* namedLink) {
    struct stat info {};
    FileDescriptor file = OpenRegularFile(path, info, namedLink);
    if (static_cast<std::uintmax_t>(info.st_size) > limit) return std::nullopt;
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const std::size_t count = ReadSome(file.Get(), buffer, sizeof buffer);
        if (count == 0) break;
        bytes.append(buffer, count);
        // A file that grows while it is read.
        if (bytes.size() > limit) return std::nullopt;
    }
    if (const int error = file.Close()) ThrowFileError(error);
    return bytes;
}

LineReadEnd ReadFileLines(const std::string& path, std::size_t maxBytes, std::size_t maxLine,
                          const std::function<void(std::string_view line, int number)>& onLine) {
    struct stat info {};
    FileDescriptor file = OpenRegularFile(path, info);
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes)
        return {LineReadEnd::kFileTooLarge, 0};
    std::string line; // the line read so far, never longer than maxLine + 1
    line.reserve(std::min<std::size_t>(maxLine + 1, 65536));
    int number = 1;
    std::uintmax_t total = 0;
    char buffer[65536];
    for (;;) {
        const std::size_t count = ReadSome(file.Get(), buffer, sizeof buffer);
        if (count == 0) break;
        total += count;
        if (total > maxBytes) return {LineReadEnd::kFileTooLarge, 0};
        std::string_view rest(buffer, count);
        while (!rest.empty()) {
            const std::size_t end = rest.find('\n');
            const std::string_view piece = rest.substr(0, end);
            if (line.size() + piece.size() > maxLine) return {LineReadEnd::kLineTooLong, number};
            if (end == std::string_view::npos) {
                line.append(piece);
                break;
            }
            if (line.empty()) {
                onLine(piece, number);
            } else {
                line.append(piece);
                onLine(line, number);
                line.clear();
            }
            ++number;
            rest.remove_prefix(end + 1);
        }
    }
    if (const int error = file.Close()) ThrowFileError(error);
    if (!line.empty()) onLine(line, number);
    return {LineReadEnd::kComplete, 0};
}

void ReplaceFileContent(const std::string& path, std::string_view bytes, FileSystemCalls& calls) {
    const std::filesystem::path target = CheckedTarget(path);
    if (target.filename().empty()) ThrowFileError(EISDIR);

    // A read-only file is refused as opening it for writing would be; the
    // rename alone would not notice.
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && ::access(target.c_str(), W_OK) != 0) ThrowFileError(errno);

    RemoveStaleTemporaries(target.parent_path(), target.filename().string());
    int fd = -1;
    const std::string temporary = CreateTemporary(target, calls, fd);
    FileDescriptor file(fd, calls);
    if (exists) ::fchmod(file.Get(), existing.st_mode & 07777);
    int error = WriteAll(calls, file.Get(), bytes);
    if (error == 0 && calls.Fsync(file.Get()) != 0) error = errno;
    if (const int closeError = file.Close(); error == 0) error = closeError;
    if (error == 0 && calls.Rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        ThrowFileError(error);
    }
    SyncFolder(target.parent_path());
}

bool CreateFileContent(const std::string& path, std::string_view bytes, FileSystemCalls& calls) {
    const std::filesystem::path target = path;
    if (target.filename().empty()) ThrowFileError(EISDIR);
    RemoveStaleTemporaries(target.parent_path(), target.filename().string());
    int fd = -1;
    const std::string temporary = CreateTemporary(target, calls, fd);
    FileDescriptor file(fd, calls);
    int error = WriteAll(calls, file.Get(), bytes);
    if (error == 0 && calls.Fsync(file.Get()) != 0) error = errno;
    if (const int closeError = file.Close(); error == 0) error = closeError;
    // The link fails when the name exists, whoever made it and however
    // recently; a file system without hard links gets the rename that
    // refuses to replace.
    if (error == 0 && calls.Link(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
        if (error == EPERM || error == EOPNOTSUPP || error == EMLINK || error == ENOSYS)
            error = ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(),
                                RENAME_NOREPLACE) == 0
                        ? 0
                        : errno;
    }
    ::unlink(temporary.c_str());
    if (error == EEXIST) return false;
    if (error != 0) ThrowFileError(error);
    SyncFolder(target.parent_path());
    return true;
}

} // namespace valdex
