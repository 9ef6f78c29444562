#pragma once
// What identifies a file in a report or a record: its name, full path, size,
// modification time and the SHA-256 of its bytes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace valdex {

// SHA-256 of the bytes, as 64 lower-case hex digits.
std::string Sha256Hex(std::string_view bytes);

struct FileIdentity {
    std::string name;     // the file name without its folder
    std::string fullPath; // absolute, links resolved
    std::uintmax_t size = 0;
    std::string modified; // local time, ISO 8601 with the UTC offset
    std::string sha256;   // of the bytes read
};

// What a command read of a file: its full path (links resolved), its size
// and the SHA-256 of the very bytes it read.
struct FileRead {
    std::string fullPath; // the path as given until ResolveReadPaths
    std::uintmax_t size = 0;
    std::string sha256;
    bool namedLink = false; // the name given is itself a symbolic link
};
FileRead DescribeRead(const std::string& path, std::string_view bytes, bool namedLink);

// Makes each read's path absolute with its links resolved, each folder
// resolved once however many files were read from it; a name that was
// itself a link is resolved whole.
void ResolveReadPaths(std::vector<FileRead>& reads);

// Reads the file whole (a regular file only, at most maxBytes) and
// identifies it. Throws AppError with a Spanish message naming the file
// when it cannot be read.
FileIdentity IdentifyFile(const std::string& path, std::uintmax_t maxBytes = 64u << 20);

// The time as ISO 8601 in local time with the UTC offset
// ("2026-12-09T07:15:02-06:00").
std::string IsoLocalTime(std::int64_t secondsSinceEpoch);

} // namespace valdex
