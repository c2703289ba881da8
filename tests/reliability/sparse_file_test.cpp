// Sparse files: a file with holes reaches every target byte for byte and with its holes, on a
// disk, on a tmpfs, and through FUSE (bindfs) where the file system may not tell its holes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/reliability/support/fuse_bind.h"
#include "tests/reliability/support/reliability_test.h"

namespace reliability {
namespace {

constexpr off_t kKiB = 1024, kMiB = 1024 * kKiB;

struct Piece {
  off_t at, size;
};

struct SparseFile {
  const char* name;
  off_t size;
  std::vector<Piece> data;  // everything else is a hole
};

const SparseFile kFiles[] = {
    {"holes.bin", 16 * kMiB, {{0, 256 * kKiB}, {6 * kMiB, 256 * kKiB}, {11 * kMiB, 100 * kKiB}}},
    {"sub/ends-in-data.bin", 4 * kMiB + 64 * kKiB, {{4 * kMiB, 64 * kKiB}}},
    {"only-hole.bin", 8 * kMiB, {}},
    {"dense.bin", 300 * kKiB, {{0, 300 * kKiB}}},
};

enum class Where { kDisk, kRam, kFuse };

struct SparseCase {
  const char* name;
  Where where;
};

void PrintTo(const SparseCase& c, std::ostream* os) {
  *os << c.name;
}

// Allocated bytes, as the file system counts them.
off_t Allocated(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return static_cast<off_t>(st.st_blocks) * 512;
}

void WriteSparse(const std::string& path, const SparseFile& file) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0640);
  ASSERT_GE(fd, 0) << path;
  ASSERT_EQ(ftruncate(fd, file.size), 0);
  for (const Piece& piece : file.data) {
    std::string bytes(static_cast<size_t>(piece.size), '\0');
    for (size_t i = 0; i < bytes.size(); ++i) {
      bytes[i] = static_cast<char>(1 + (i * 7 + static_cast<size_t>(piece.at)) % 251);
    }
    ASSERT_EQ(pwrite(fd, bytes.data(), bytes.size(), piece.at), static_cast<ssize_t>(bytes.size()));
  }
  const struct timespec times[2] = {{1685620800, 0}, {1685620800, 123456789}};
  ASSERT_EQ(futimens(fd, times), 0);
  ASSERT_EQ(fsync(fd), 0);  // so the blocks the file system counts are its final ones
  close(fd);
}

// Whether the file system of `folder` tells where the holes of its files lie.
bool TellsHoles(const std::string& folder) {
  const int fd = open((folder + "/holes.bin").c_str(), O_RDONLY | O_CLOEXEC);
  const off_t hole = fd < 0 ? -1 : lseek(fd, 0, SEEK_HOLE);
  if (fd >= 0)
    close(fd);
  return hole >= 0 && hole < kFiles[0].size;
}

class SparseFileTest : public ReliabilityTest, public ::testing::WithParamInterface<SparseCase> {};

TEST_P(SparseFileTest, ReachesEveryTargetWithItsHoles) {
  const SparseCase& c = GetParam();
  if (c.where == Where::kRam)
    MoveIntoRam("256m");
  std::unique_ptr<FuseBind> fuse;
  if (c.where == Where::kFuse) {
    // The source and a destination through FUSE, which has no unnamed files either.
    MakeFolder("src-store");
    MakeFolder("dest2-store");
    MakeFolder("src");
    MakeFolder("dest2");
    fuse = std::make_unique<FuseBind>(PathOf("src-store"), PathOf("src"));
    if (!fuse->mounted())
      GTEST_SKIP() << fuse->refusal();
  }
  std::unique_ptr<FuseBind> fuse_dest;
  if (c.where == Where::kFuse) {
    fuse_dest = std::make_unique<FuseBind>(PathOf("dest2-store"), PathOf("dest2"));
    if (!fuse_dest->mounted())
      GTEST_SKIP() << fuse_dest->refusal();
  }
  MakeFolder("src/sub");
  for (const SparseFile& file : kFiles) WriteSparse(PathOf("src/") + file.name, file);
  if (c.where != Where::kFuse && Allocated(PathOf("src/only-hole.bin")) != 0)
    GTEST_SKIP() << "the file system here keeps no holes";

  const std::string settings = WriteDefaultSettings();
  const RunResult first = Run(settings);
  EXPECT_EQ(first.ended.exit_code, 0) << first.err;
  EXPECT_THAT(first.err_lines, ::testing::IsEmpty());
  EXPECT_THAT(TargetDifferences(), ::testing::IsEmpty());

  // Each copy takes about what the source takes, never the room of its holes. Through FUSE
  // only the copy on the disk is held to that, and only where FUSE tells the source's holes.
  for (const std::string& target : Targets()) {
    if (c.where == Where::kFuse && (target != PathOf("dest1") || !TellsHoles(PathOf("src"))))
      continue;
    for (const SparseFile& file : kFiles) {
      const std::string copy = target + "/" + file.name;
      const off_t source = Allocated(PathOf("src/") + file.name);
      EXPECT_LE(Allocated(copy), source + 256 * kKiB) << copy << ", source " << source;
    }
  }

  const RunResult second = Run(settings);
  EXPECT_EQ(second.ended.exit_code, 0) << second.err;
  EXPECT_EQ(second.out, "Get list of files...\r\n");
}

INSTANTIATE_TEST_SUITE_P(Places, SparseFileTest,
                         ::testing::Values(SparseCase{"OnDisk", Where::kDisk},
                                           SparseCase{"OnTmpfs", Where::kRam},
                                           SparseCase{"ThroughFuse", Where::kFuse}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace reliability
