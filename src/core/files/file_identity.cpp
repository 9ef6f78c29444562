#include "files/file_identity.h"

#include "base/app_error.h"
#include "files/file_io.h"

#include <openssl/evp.h>

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <map>
#include <sys/stat.h>

namespace valdex {

std::string Sha256Hex(std::string_view bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    // Fetched once: OpenSSL 3 otherwise looks the algorithm up on every call,
    // which costs more than the digest of a small study.
    static EVP_MD* const sha256 = EVP_MD_fetch(nullptr, "SHA256", nullptr);
    if (sha256 == nullptr ||
        EVP_Digest(bytes.data(), bytes.size(), digest, &length, sha256, nullptr) != 1)
        throw AppError("No se pudo calcular el SHA-256.");
    static const char* const kHex = "0123456789abcdef";
    std::string text;
    text.reserve(2 * length);
    for (unsigned int i = 0; i < length; ++i) {
        text += kHex[digest[i] >> 4];
        text += kHex[digest[i] & 15];
    }
    return text;
}

std::string IsoLocalTime(std::int64_t secondsSinceEpoch) {
    const std::time_t time = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm local{};
    localtime_r(&time, &local);
    char buffer[40];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%S%z", &local);
    std::string text = buffer;
    // strftime writes the offset as +hhmm; ISO 8601's extended form is +hh:mm.
    if (text.size() >= 5) text.insert(text.size() - 2, ":");
    return text;
}

namespace {

// Absolute with its links resolved; absolute as given when it cannot be
// resolved.
std::string FullPath(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::canonical(path, error);
    return error ? std::filesystem::absolute(path, error).string() : canonical.string();
}

} // namespace

FileRead DescribeRead(const std::string& path, std::string_view bytes, bool namedLink) {
    return {path, bytes.size(), Sha256Hex(bytes), namedLink};
}

void ResolveReadPaths(std::vector<FileRead>& reads) {
    std::map<std::string, std::string> folders; // as given → resolved
    for (FileRead& read : reads) {
        const std::filesystem::path given = read.fullPath;
        if (read.namedLink || !given.has_filename()) {
            read.fullPath = FullPath(given);
            continue;
        }
        const std::string folder = given.has_parent_path() ? given.parent_path().string() : ".";
        auto resolved = folders.find(folder);
        if (resolved == folders.end()) resolved = folders.emplace(folder, FullPath(folder)).first;
        read.fullPath = (std::filesystem::path(resolved->second) / given.filename()).string();
    }
}

FileIdentity IdentifyFile(const std::string& path, std::uintmax_t maxBytes) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        throw FileError("\"" + QuotedText(path) + "\": " + FileErrorText(errno));
    if (S_ISDIR(status.st_mode))
        throw FileError("\"" + QuotedText(path) + "\": " + FileErrorText(EISDIR));
    RequireRegularFile(path, status.st_mode);
    const std::optional<std::string> bytes = ReadFileBytes(path, maxBytes);
    if (!bytes) throw StudyError("\"" + QuotedText(path) + "\" es demasiado grande.");
    FileIdentity identity;
    identity.fullPath = FullPath(path);
    identity.name = std::filesystem::path(path).filename().string();
    identity.size = bytes->size();
    identity.modified = IsoLocalTime(status.st_mtim.tv_sec);
    identity.sha256 = Sha256Hex(*bytes);
    return identity;
}

} // namespace valdex
