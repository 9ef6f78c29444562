#pragma once
// Whole-file reads and safe replacement of a file, with failures raised as
// FileError carrying the runtime's text ("File not found", "Disk full", ...).

#include <string>
#include <string_view>

namespace valdex {

// "File not found", "File access denied", "Disk full", else "I/O error <n>".
std::string FileErrorText(int error);

std::string ReadFileBytes(const std::string& path);

// Writes the bytes to a temporary file in the target's folder, flushes it to
// the disk and renames it over the target: the target holds either its old
// content or the new one, never a part. The temporary file never stays
// behind. A target that is a symbolic link has the file it points to
// replaced; an existing target keeps its permission bits.
void ReplaceFileContent(const std::string& path, std::string_view bytes);

} // namespace valdex
