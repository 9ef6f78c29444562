#pragma once
// Whole-file reads and safe replacement of a file, with failures raised as
// FileError carrying the runtime's text ("File not found", "Disk full", ...).

#include <cstddef>
#include <functional>
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
    virtual int Link(const char* from, const char* to);
    virtual int Close(int fd);
};

FileSystemCalls& SystemCalls();

// Only a regular file is read: a folder is refused with FileError "File
// access denied", anything else (a pipe, a device, a socket) at once with a
// StudyError naming it (El archivo "f.w8c" no es un archivo común, es una
// tubería; no se lee.), without waiting for a writer at the other end of a
// pipe. `mode` is the file's st_mode.
void RequireRegularFile(const std::string& path, unsigned mode);

// The whole file, or nothing when it holds more than `limit` bytes: the file
// is measured before anything is read, and one that grows while it is read
// is read no further than one byte past the limit. What is not a regular
// file is refused as RequireRegularFile says.
// `namedLink`, when given, says whether the name itself is a symbolic link.
std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t limit,
                                         bool* namedLink = nullptr);

// How ReadFileLines ended: every line read, or stopped at a file longer than
// its limit or at the line (1-based) longer than its limit.
struct LineReadEnd {
    enum Kind { kComplete, kFileTooLarge, kLineTooLong } kind = kComplete;
    int line = 0;
};

// Hands the lines of the file to `onLine` one after the other, each without
// its LF, with its 1-based number; no more than one line is held at a time,
// so memory stays bounded by `maxLine` whatever the file holds. A file of
// more than `maxBytes` bytes is not read; a line of more than `maxLine`
// bytes stops the reading. Refuses what ReadFileBytes refuses.
LineReadEnd ReadFileLines(const std::string& path, std::size_t maxBytes, std::size_t maxLine,
                          const std::function<void(std::string_view line, int number)>& onLine);

// Writes the bytes as a new file at `path`, never replacing one: the bytes
// go to a temporary file in the same folder, flushed to the disk, which is
// then linked to the name in one step, so of two writers racing for the
// same new name exactly one succeeds. False, with nothing written and no
// temporary left, when the name exists (also when it was created a moment
// before by another process); a failure to write raises FileError.
bool CreateFileContent(const std::string& path, std::string_view bytes,
                       FileSystemCalls& calls = SystemCalls());

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
