// Destinations on another machine, reached through sshfs mounts of the test's own SSH server:
// the copies arrive whole with their times and modes (read-only ones replaced), a program on
// the server never reads half a file, and every destination copy is on the server's disk
// before the master records it.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <filesystem>
#include <map>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/reliability/support/network_test.h"
#include "tests/reliability/support/strace_calls.h"

namespace reliability {
namespace {

std::string Bytes(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  uint32_t x = seed * 2654435761u + 1;
  for (char& c : bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x);
  }
  return bytes;
}

size_t Count(const std::string& text, const std::string& word) {
  size_t count = 0;
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
    ++count;
  }
  return count;
}

class NetworkCopyTest : public NetworkTest {
 protected:
  // dest1 and dest2 on the server, the master here.
  std::string MountDestinations() {
    if (!Mount("dest1", "dest1") || !Mount("dest2", "dest2"))
      return "";
    return WriteDefaultSettings();
  }
  std::vector<std::string> Served() {
    return {OnServer("dest1"), OnServer("dest2"), PathOf("master")};
  }
};

// A file the source gets before a round: a new one, or a new version (a new inode) of one.
struct Put {
  const char* path;
  std::string content;
  int seconds;  // after kBaseTimeNs
  unsigned mode;
};

struct Round {
  const char* name;
  std::vector<Put> puts;
  size_t copies;  // Copy lines: files copied times three targets
};

TEST_F(NetworkCopyTest, CopiesArriveWholeWithTheirTimesAndModes) {
  const std::string settings = MountDestinations();
  if (settings.empty())
    GTEST_SKIP() << mount_refusal_;
  const Round rounds[] = {
      {"a first distribution",
       {{"readme.txt", "read me", 0, 0644},
        {"bin/run.sh", "#!/bin/sh\n", 1, 0755},
        {"etc/secret", "s", 2, 0600},
        {"etc/fixed.conf", "v1", 3, 0444},
        {"data/empty", "", 4, 0644},
        {"data/deep/large.bin", Bytes(3 << 20, 1), 5, 0640}},
       6 * 3},
      {"read-only copies replaced, a mode changed, a new folder",
       {{"etc/fixed.conf", "v2, longer", 60, 0444},
        {"readme.txt", "read me again", 61, 0640},
        {"new/sub/added.txt", "added", 62, 0644}},
       3 * 3},
      {"nothing changed", {}, 0},
  };
  for (const Round& round : rounds) {
    SCOPED_TRACE(round.name);
    for (const Put& put : round.puts) {
      MakeFolder(std::filesystem::path("src/" + std::string(put.path)).parent_path());
      ReplaceFile(PathOf("src/") + put.path, put.content, kBaseTimeNs + put.seconds * kSecondNs,
                  put.mode);
    }
    RunResult run = Run(settings);
    EXPECT_EQ(run.ended.exit_code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Count(run.out, "Copy "), round.copies) << run.out;
    EXPECT_THAT(DifferencesFromSource(Served()), ::testing::IsEmpty());
  }
}

TEST_F(NetworkCopyTest, AProgramOnTheServerNeverReadsHalfAFile) {
  const std::string settings = MountDestinations();
  if (settings.empty())
    GTEST_SKIP() << mount_refusal_;
  constexpr int kVersions = 5;
  std::vector<uint64_t> versions;
  for (int v = 0; v < kVersions; ++v) versions.push_back(HashBytes(Bytes(4 << 20, 10 + v)));
  PutFile(WriteFile("src/site/page.bin", ""), Bytes(4 << 20, 10), kBaseTimeNs);
  ASSERT_EQ(Run(settings).ended.exit_code, 0);

  // A web server, say, reading the file over and over on the server's side.
  std::atomic<bool> done{false};
  std::vector<std::string> wrong;
  int reads = 0;
  std::thread reader([&] {
    const std::string path = OnServer("dest1") + "/site/page.bin";
    std::string bytes;
    while (!done) {
      const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0) {
        wrong.push_back("open: " + std::to_string(errno));
        continue;
      }
      bytes.clear();
      char chunk[65536];
      for (ssize_t n; (n = read(fd, chunk, sizeof chunk)) > 0;) bytes.append(chunk, n);
      close(fd);
      ++reads;
      if (std::find(versions.begin(), versions.end(), HashBytes(bytes)) == versions.end()) {
        wrong.push_back("a read of " + std::to_string(bytes.size()) + " bytes");
      }
    }
  });
  for (int v = 1; v < kVersions; ++v) {
    ReplaceFile(PathOf("src/site/page.bin"), Bytes(4 << 20, 10 + v), kBaseTimeNs + v * kSecondNs);
    RunResult run = Run(settings);
    EXPECT_EQ(run.ended.exit_code, 0) << run.err;
  }
  done = true;
  reader.join();
  EXPECT_THAT(wrong, ::testing::IsEmpty()) << "in " << reads << " reads";
  EXPECT_THAT(DifferencesFromSource(Served()), ::testing::IsEmpty());
}

// The master too lies on the server here, so that one trace of the server holds every name
// given and every flush, in the order the server made them.
TEST_F(NetworkCopyTest, EveryDestinationCopyIsOnTheServersDiskBeforeTheMasterGetsOne) {
  const std::string no_strace = StraceUnavailable();
  if (!no_strace.empty())
    GTEST_SKIP() << no_strace;
  for (const char* target : {"dest1", "dest2", "master"}) {
    if (!Mount(target, target))
      GTEST_SKIP() << mount_refusal_;
  }
  const std::string settings = WriteDefaultSettings();
  constexpr int kFiles = 30;
  for (int i = 0; i < kFiles; ++i) {
    PutFile(WriteFile("src/d" + std::to_string(i % 3) + "/f" + std::to_string(i), ""),
            Bytes(1000 + 100 * i, i), kBaseTimeNs + i * kSecondNs);
  }
  const std::vector<pid_t> sessions = server_->Sessions();
  ASSERT_FALSE(sessions.empty());
  std::vector<std::string> argv = {kStrace, "-I1",
                                   "-f",    "-y",
                                   "-s",    "4096",
                                   "-o",    PathOf("trace"),
                                   "-e",    "trace=fsync,fdatasync,rename,renameat,renameat2"};
  for (pid_t pid : sessions) {
    argv.push_back("-p");
    argv.push_back(std::to_string(pid));
  }
  Process tracer(argv, PathOf(), OutputKind::kNull);
  // strace names each process on standard error once it is attached.
  while (tracer.Read(100) && Count(tracer.err(), "attached") < sessions.size()) {
  }
  RunResult run = Run(settings);
  tracer.Signal(SIGTERM);
  tracer.Wait();
  ASSERT_EQ(run.ended.exit_code, 0) << run.err;
  ASSERT_THAT(DifferencesFromSource({OnServer("dest1"), OnServer("dest2"), OnServer("master")}),
              ::testing::IsEmpty());

  auto under = [&](const std::string& path, const char* served) {
    const std::string folder = OnServer(served) + "/";
    return path.compare(0, folder.size(), folder) == 0;
  };
  std::map<std::string, int> flushed;  // by destination
  int last_flush = -1, first_master = INT32_MAX;
  for (const Call& call : ReadTrace(PathOf("trace"))) {
    const bool flush = call.name == "fsync" || call.name == "fdatasync";
    for (const char* dest : {"dest1", "dest2"}) {
      if (flush && call.ok && under(call.path, dest)) {
        ++flushed[dest];
        last_flush = std::max(last_flush, call.end);
      }
    }
    if (!flush && call.ok && under(call.path, "master")) {
      first_master = std::min(first_master, call.start);
    }
  }
  EXPECT_GE(flushed["dest1"], kFiles);
  EXPECT_GE(flushed["dest2"], kFiles);
  EXPECT_LT(last_flush, first_master) << "the master got a copy before a destination's flush";
  EXPECT_NE(first_master, INT32_MAX) << "the master got no copy";
}

}  // namespace
}  // namespace reliability
