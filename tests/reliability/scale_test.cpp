// A run over a million files: peak memory per listed file beyond the paths themselves, and
// time per file against a run over 10,000. Long: runs only when PARLOWEN_SCALE_FILES is set
// (tests/reliability/run-slow.sh sets it to 1000000).
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <iomanip>
#include <iostream>

#include <gtest/gtest.h>

#include "tests/reliability/support/reliability_test.h"

namespace reliability {
namespace {

constexpr int kFilesPerFolder = 1000;

struct Measured {
  double seconds = 0;
  long max_rss_kib = 0;
};

class ScaleTest : public ReliabilityTest {
 protected:
  // `files` empty files under `name`, a thousand per folder; returns the bytes of their paths
  // as the run spells them.
  int64_t MakeTree(const std::string& name, int files) {
    int64_t path_bytes = 0;
    for (int f = 0; f * kFilesPerFolder < files; ++f) {
      const std::string folder = name + "/d" + std::to_string(f);
      MakeFolder(folder);
      int fd = open(PathOf(folder).c_str(), O_RDONLY | O_DIRECTORY);
      for (int i = 0; i < kFilesPerFolder && f * kFilesPerFolder + i < files; ++i) {
        const std::string file = "file" + std::to_string(i);
        close(openat(fd, file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
        path_bytes += static_cast<int64_t>(PathOf(folder).size() + 1 + file.size());
      }
      close(fd);
    }
    return path_bytes;
  }

  // The best of `times` runs, so a busy machine does not count against the program.
  Measured RunSettings(const std::string& body, int times = 1) {
    const std::string settings = WriteFile("scale.bfs", "[Main]\n" + body);
    Measured best{1e9, 0};
    for (int i = 0; i < times; ++i) {
      Process run(Command(settings), PathOf(), OutputKind::kNull);
      const Ended ended = run.Wait();
      EXPECT_EQ(ended.exit_code, 0) << run.err().substr(0, 2000);
      best.seconds = std::min(best.seconds, ended.seconds);
      best.max_rss_kib = std::max(best.max_rss_kib, ended.max_rss_kib);
    }
    return best;
  }
};

TEST_F(ScaleTest, MillionFilesStayWithinMemoryAndTimePerFile) {
  const char* wanted = std::getenv("PARLOWEN_SCALE_FILES");
  if (wanted == nullptr)
    GTEST_SKIP() << "long test: set PARLOWEN_SCALE_FILES=1000000 to run it";
  const int large = std::atoi(wanted);
  const int small = 10000;
  // On a RAM file system, so the figures are the program's and not this machine's disk.
  MoveIntoRam("16g,nr_inodes=" + std::to_string(4 * large + 100000));

  MakeFolder("empty");
  const Measured baseline =
      RunSettings("SourceFolder=" + PathOf("empty") + "\nMasterFolder=\nDestFolder=\n", 3);

  struct Row {
    int files;
    int64_t path_bytes;
    Measured listed, copied, unchanged;
  };
  std::vector<Row> rows;
  for (int files : {small, large}) {
    Row row{files, MakeTree("src" + std::to_string(files), files), {}, {}, {}};
    const std::string source = "SourceFolder=" + PathOf("src" + std::to_string(files)) + "\n";
    const std::string master = "MasterFolder=" + PathOf("master" + std::to_string(files)) + "\n";
    const int times = files == small ? 3 : 1;
    // Every file listed, no target: the list alone.
    row.listed = RunSettings(source + "MasterFolder=\nDestFolder=\n", times);
    // Every file copied into the master, then a run that finds nothing changed.
    MakeFolder("master" + std::to_string(files));
    row.copied = RunSettings(source + master + "DestFolder=\n");
    row.unchanged = RunSettings(source + master + "DestFolder=\n", times);
    rows.push_back(row);
  }

  for (const Row& row : rows) {
    const double beyond =
        (static_cast<double>(row.listed.max_rss_kib - baseline.max_rss_kib) * 1024 -
         static_cast<double>(row.path_bytes)) /
        row.files;
    const double beyond_copied =
        (static_cast<double>(row.copied.max_rss_kib - baseline.max_rss_kib) * 1024 -
         static_cast<double>(row.path_bytes)) /
        row.files;
    std::cout << std::fixed << std::setprecision(2) << "[ figures  ] scale: " << row.files
              << " files, paths " << row.path_bytes / row.files << " B/file; listed "
              << row.listed.seconds << " s (" << row.listed.seconds * 1e6 / row.files
              << " us/file), peak " << row.listed.max_rss_kib << " KiB (baseline "
              << baseline.max_rss_kib << "), " << beyond << " B/file beyond the paths; copied "
              << row.copied.seconds << " s (" << row.copied.seconds * 1e6 / row.files
              << " us/file), peak " << row.copied.max_rss_kib << " KiB, " << beyond_copied
              << " B/file; unchanged " << row.unchanged.seconds << " s ("
              << row.unchanged.seconds * 1e6 / row.files << " us/file)\n";
    if (row.files == large) {
      EXPECT_LE(beyond, 200) << "listing";
      EXPECT_LE(beyond_copied, 200) << "copying";
    }
  }
  // Time per file at a million no worse than at ten thousand; a quarter is left for noise.
  const Row &s = rows[0], &l = rows[1];
  EXPECT_LE(l.listed.seconds / l.files, 1.25 * s.listed.seconds / s.files);
  EXPECT_LE(l.copied.seconds / l.files, 1.25 * s.copied.seconds / s.files);
  EXPECT_LE(l.unchanged.seconds / l.files, 1.25 * s.unchanged.seconds / s.files);
}

}  // namespace
}  // namespace reliability
