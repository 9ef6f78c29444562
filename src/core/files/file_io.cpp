#include "files/file_io.h"

#include "base/app_error.h"

#include <cerrno>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace valdex {

namespace {

[[noreturn]] void ThrowFileError(int error) {
    throw FileError(FileErrorText(error));
}

// Closes the descriptor on every way out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int Get() const { return fd_; }
    // Closes now, reporting the failure (a delayed write error shows here).
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int fd_;
};

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// The target itself, or the file a symbolic link names.
std::filesystem::path ResolveTarget(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        auto resolved = std::filesystem::weakly_canonical(path, ec);
        if (!ec) return resolved;
    }
    return path;
}

// Creates a new temporary file next to the target; the process id and a
// try count keep concurrent writers apart.
std::string CreateTemporary(const std::filesystem::path& target, int& fd) {
    const std::filesystem::path folder = target.parent_path();
    const std::string stem = "." + target.filename().string() + "." + std::to_string(::getpid());
    for (int attempt = 0;; ++attempt) {
        const std::string name =
            (folder / (stem + "-" + std::to_string(attempt) + ".tmp")).string();
        fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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

std::string ReadFileBytes(const std::string& path) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) ThrowFileError(errno);
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(file.Get(), buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) continue;
            ThrowFileError(errno);
        }
        if (count == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    if (const int error = file.Close()) ThrowFileError(error);
    return bytes;
}

void ReplaceFileContent(const std::string& path, std::string_view bytes) {
    const std::filesystem::path target = ResolveTarget(path);
    if (target.filename().empty()) ThrowFileError(EISDIR);

    // A read-only file is refused as opening it for writing would be; the
    // rename alone would not notice.
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISREG(existing.st_mode) && ::access(target.c_str(), W_OK) != 0)
        ThrowFileError(errno);

    int fd = -1;
    const std::string temporary = CreateTemporary(target, fd);
    FileDescriptor file(fd);
    int error = 0;
    if (exists && S_ISREG(existing.st_mode)) ::fchmod(file.Get(), existing.st_mode & 07777);
    error = WriteAll(file.Get(), bytes);
    if (error == 0 && ::fsync(file.Get()) != 0) error = errno;
    if (const int closeError = file.Close(); error == 0) error = closeError;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        ThrowFileError(error);
    }
    SyncFolder(target.parent_path());
}

} // namespace valdex
