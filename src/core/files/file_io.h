#pragma once
// Whole-file reads and safe replacement of a file, with failures raised as
// FileError carrying the runtime's text ("File not found", "Disk full", ...).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace valdex {

// "File not found", "File access denied", "Disk full", else "I/O error <n>".
std::string FileErrorText(int error);

// The system calls by which the safe writer writes, so that a test can make
// any of them fail. Each returns what the system call returns and leaves
// errno set when it fails; these call the system.
class FileSystemCalls {
public:
    virtual ~FileSystemCalls() = default;
    virtual int Open(const char* path, int flags, unsigned mode);
    virtual long Write(int fd, const void* data, std::size_t size);
    virtual int Fsync(int fd);
    virtual int Rename(const char* from, const char* to);
    virtual int Close(int fd);
};

FileSystemCalls& SystemCalls();

// The whole file, or nothing when it holds more than `limit` bytes: a
// regular file is measured before anything is read, anything else (a pipe,
// a device) is read no further than one byte past the limit.
std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t limit);

// Writes the bytes to a temporary file in the target's folder, flushes it to
// the disk and renames it over the target: the target holds either its old
// content or the new one, never a part. The temporary file never stays
// behind, and those that a writer killed during an earlier save of the same
// target left are removed. A target that is a symbolic link to a regular
// file has that file replaced (the link stays); an existing target keeps its
// permission bits. A target that exists and is not a regular file (a device,
// a pipe, a socket, a link that leads nowhere or round in a loop) is refused
// with a StudyError naming it; a folder with FileError "File access denied".
void ReplaceFileContent(const std::string& path, std::string_view bytes,
                        FileSystemCalls& calls = SystemCalls());

// The name of the temporary file for `target` written by process `pid`, try
// `attempt`: hidden, in the target's folder, never longer than a file name
// may be, and particular to the target's name.
std::string TemporaryFileName(const std::string& targetName, long pid, int attempt);

} // namespace valdex
