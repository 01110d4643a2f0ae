#include <gtest/gtest.h>

#include <string>

#include "plugins/share2/sha1.h"
#include "plugins/share2/tests/shareTestSupport.h"
#include "testing/testPaths.h"

namespace vesk::share2::test {
namespace {

std::string textOf(CSHA1& sha) {
    sha.final();
    unsigned char digest[digestSize];
    sha.copyDigest(reinterpret_cast<char*>(digest));
    char text[hashTextLength + 1];
    hashText(digest, text);
    sha.reset();
    return text;
}

std::string hashOfMemory(const std::string& bytes, size_t piece) {
    CSHA1 sha;
    for (size_t at = 0; at < bytes.size(); at += piece)
        sha.update(bytes.data() + at, static_cast<unsigned>(std::min(piece, bytes.size() - at)));
    return textOf(sha);
}

TEST(Sha1, KnownVectorsInBase32) {
    EXPECT_EQ(hashOfMemory("", 1), "3I42H3S6NNFQ2MSVX7XZKYAYSCX5QBYJ");
    EXPECT_EQ(hashOfMemory("abc", 1), "VGMT4NSHA2AWVOR6EVYXQUGCNSONBWE5");
}

// Messages around the padding boundaries and split at odd points, against
// an independent SHA-1.
TEST(Sha1, AgreesWithPlatformDigestWhateverTheSplit) {
    ASSERT_FALSE(referenceHashText("abc").empty()) << "no platform SHA-1";
    for (size_t size : {55u, 56u, 63u, 64u, 65u, 119u, 120u, 1000u, 65537u})
        for (size_t piece : {1u, 7u, 64u, 100000u}) {
            std::string bytes = patternBytes(size, static_cast<unsigned>(size));
            EXPECT_EQ(hashOfMemory(bytes, piece), referenceHashText(bytes)) << size << " bytes in pieces of " << piece;
        }
}

std::string hashOfFile(const std::string& path, int* result = nullptr) {
    CSHA1 sha;
    int read = sha.hashFile(path.c_str());
    if (result)
        *result = read;
    return read ? textOf(sha) : std::string();
}

TEST(Sha1, FilesAcrossTheChunkBoundary) {
    vesk::testing::tempDir dir;
    for (size_t size : {0u, 1u, 7999u, 8000u, 8001u, 16000u, 24123u}) {
        std::string bytes = patternBytes(size, 7);
        std::string path = dir.file("f" + std::to_string(size));
        ASSERT_TRUE(makeFile(path, bytes));
        int read = 0;
        EXPECT_EQ(hashOfFile(path, &read), referenceHashText(bytes)) << size << " bytes";
        EXPECT_EQ(read, 1);
    }
}

TEST(Sha1, UnreadableFileGivesNoHash) {
    vesk::testing::tempDir dir;
    int read = 1;
    EXPECT_EQ(hashOfFile(dir.file("missing"), &read), "");
    EXPECT_EQ(read, 0);

    // Locked by another handle that shares nothing.
    std::string path = dir.file("locked");
    ASSERT_TRUE(makeFile(path, "data"));
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    read = 1;
    EXPECT_EQ(hashOfFile(path, &read), "");
    EXPECT_EQ(read, 0);
    CloseHandle(lock);
}

TEST(Sha1, StopEndsAFileEarlyWithoutAHash) {
    vesk::testing::tempDir dir;
    std::string path = dir.file("big");
    ASSERT_TRUE(makeFile(path, patternBytes(5 * CSHA1::chunkSize, 3)));
    std::atomic<int> stop{1};
    CSHA1 sha;
    EXPECT_EQ(sha.hashFile(path.c_str(), &stop), 0);
}

}  // namespace
}  // namespace vesk::share2::test
