#include "base/app_error.h"
#include "files/file_identity.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <vector>

namespace valdex {
namespace {

// FIPS 180-2, appendix B, and the digest of no bytes.
TEST(FileIdentityTest, Sha256OfThePublishedExamples) {
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

TEST(FileIdentityTest, IdentifiesARegularFileAndRefusesAPipe) {
    const auto folder = std::filesystem::temp_directory_path() / "valdex_identity_test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const auto file = folder / "estudio.w8c";
    std::ofstream(file) << "abc";
    const FileIdentity identity = IdentifyFile(file.string());
    EXPECT_EQ(identity.name, "estudio.w8c");
    EXPECT_EQ(identity.fullPath, std::filesystem::canonical(file).string());
    EXPECT_EQ(identity.size, 3u);
    EXPECT_EQ(identity.sha256.substr(0, 8), "ba7816bf");
    EXPECT_EQ(identity.modified.size(), 25u) << identity.modified; // 2026-12-09T07:15:02+00:00

    const auto pipe = folder / "tubo.w8c";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_THROW(IdentifyFile(pipe.string()), StudyError);
    EXPECT_THROW(IdentifyFile((folder / "falta.w8c").string()), FileError);
    std::filesystem::remove_all(folder);
}

// Every way of naming the same file comes to its one full path: through a
// linked folder, as a link, relative to the working folder, with "..".
TEST(FileIdentityTest, ReadPathsResolvedToTheFileItself) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::canonical(fs::temp_directory_path()) / "valdex_read_paths_test";
    fs::remove_all(folder);
    fs::create_directories(folder / "real");
    fs::create_directories(folder / "sub");
    std::ofstream(folder / "real" / "a.w8c") << "abc";
    fs::create_directory_symlink(folder / "real", folder / "enlace");
    fs::create_symlink("../real/a.w8c", folder / "sub" / "l.w8c");
    const fs::path working = fs::current_path();
    fs::current_path(folder / "sub");
    std::vector<FileRead> reads;
    for (const char* given : {"../enlace/a.w8c", "l.w8c", "../real/a.w8c", "../sub/../real/a.w8c"})
        reads.push_back(DescribeRead(given, "abc", fs::is_symlink(given)));
    reads.push_back(DescribeRead((folder / "enlace" / "a.w8c").string(), "abc", false));
    ResolveReadPaths(reads);
    fs::current_path(working);
    for (const FileRead& read : reads)
        EXPECT_EQ(read.fullPath, (folder / "real" / "a.w8c").string());
    fs::remove_all(folder);
}

} // namespace
} // namespace valdex
