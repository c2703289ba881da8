// Faults of destinations on another machine: the server goes away in the middle of a run, and
// two machines copy into one folder of it at the same time.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/platform/posix/shared_file_system.h"
#include "engine/platform/temp_name.h"
#include "tests/reliability/support/network_test.h"

namespace reliability {
namespace {

std::string Version(const std::string& path, int version) {
  return path + " version " + std::to_string(version) + "\n" +
         std::string(static_cast<size_t>(200 + 37 * version), static_cast<char>('a' + version));
}

struct ServerDownCase {
  const char* name;
  int copies_before;  // Copy lines seen before the server is killed; -1: down before the run
};

void PrintTo(const ServerDownCase& c, std::ostream* os) {
  *os << c.name;
}

class ServerDownTest : public NetworkTest, public ::testing::WithParamInterface<ServerDownCase> {};

TEST_P(ServerDownTest, NothingPartialTheMasterWaitsAndTheNextRunCompletes) {
  const ServerDownCase& c = GetParam();
  if (!Mount("dest1", "dest1") || !Mount("dest2", "dest2"))
    GTEST_SKIP() << mount_refusal_;
  const std::string settings = WriteDefaultSettings();
  std::vector<std::string> files;
  for (int i = 0; i < 120; ++i)
    files.push_back("d" + std::to_string(i % 6) + "/f" + std::to_string(i));
  files.push_back("large.bin");
  for (const std::string& f : files) PutFile(WriteFile("src/" + f, ""), Version(f, 1), kBaseTimeNs);
  PutFile(PathOf("src/large.bin"), std::string(8 << 20, 'L'), kBaseTimeNs);
  ASSERT_EQ(Run(settings).ended.exit_code, 0);
  const Tree old_source = ReadTree(PathOf("src"));
  for (const std::string& f : files) {
    PutFile(PathOf("src/" + f), Version(f, 2), kBaseTimeNs + 10 * kSecondNs);
  }
  const Tree new_source = ReadTree(PathOf("src"));

  if (c.copies_before < 0)
    server_->Kill();
  Process run(Command(settings), PathOf(), OutputKind::kTerminal);
  if (c.copies_before >= 0) {
    while (run.Read(100) && static_cast<int>(std::count(run.out().begin(), run.out().end(),
                                                        '\n')) <= c.copies_before) {
    }
    server_->Kill();
  }
  const Ended ended = run.Wait();
  EXPECT_EQ(ended.exit_code, 3) << run.err();
  EXPECT_THAT(run.err(), ::testing::Not(::testing::IsEmpty()));

  // Each file a target holds is one whole version; the master holds the new one only where
  // both destinations do; every file the master lacks is named on standard error.
  const Tree master = ReadTree(PathOf("master"));
  const Tree dests[] = {ReadTree(OnServer("dest1")), ReadTree(OnServer("dest2"))};
  int held_back = 0;
  for (const std::string& f : files) {
    SCOPED_TRACE(f);
    const FileState& was = old_source.files.at(f);
    const FileState& now = new_source.files.at(f);
    bool everywhere = true;
    for (const Tree& dest : dests) {
      const FileState& got = dest.files.at(f);
      EXPECT_TRUE(got == was || got == now) << "a part copy";
      everywhere = everywhere && got == now;
    }
    const FileState& recorded = master.files.at(f);
    EXPECT_TRUE(recorded == was || recorded == now);
    if (recorded == now) {
      EXPECT_TRUE(everywhere) << "the master is ahead of a destination";
    } else {
      ++held_back;
      EXPECT_NE(run.err().find("master copy held back for " + PathOf("src/" + f) + ":"),
                std::string::npos)
          << run.err();
    }
  }
  EXPECT_GT(held_back, 0);
  std::istringstream lines(run.err());
  for (std::string line; std::getline(lines, line);) {
    EXPECT_EQ(line.rfind("parlocon: ", 0), 0u) << line;
  }

  ASSERT_TRUE(server_->Start()) << server_->refusal();
  RunResult rerun = Run(settings);
  EXPECT_EQ(rerun.ended.exit_code, 0) << rerun.err;
  EXPECT_THAT(DifferencesFromSource({OnServer("dest1"), OnServer("dest2"), PathOf("master")}),
              ::testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Faults, ServerDownTest,
                         ::testing::Values(ServerDownCase{"KilledDuringTheCopies", 40},
                                           ServerDownCase{"DownWhenTheRunStarts", -1}),
                         [](const auto& row) { return std::string(row.param.name); });

// The server made a temporary file when its answer to the create was lost with the
// connection, so the client still lists the folder as it last read it, without the file. The
// next run, started before that listing runs out, still removes it.
TEST_F(NetworkTest, ALeftOverTheClientDoesNotListYetIsRemoved) {
  if (!Mount("dest1", "dest1") || !Mount("dest2", "dest2"))
    GTEST_SKIP() << mount_refusal_;
  const std::string settings = WriteDefaultSettings();
  PutFile(WriteFile("src/d/a", ""), "version 1", kBaseTimeNs);
  ASSERT_EQ(Run(settings).ended.exit_code, 0);
  // Listed through the mount, as the last run's cleaner had.
  ASSERT_EQ(std::distance(std::filesystem::directory_iterator(PathOf("dest1/d")), {}), 1);
  struct stat mount;
  ASSERT_EQ(stat(PathOf("dest1").c_str(), &mount), 0);
  const std::string left_over =
      platform::NewTempNameFor(platform::PlaceOf(mount.st_dev, PathOf("dest1/d")));
  WriteFile("server/dest1/d/" + left_over, "");
  PutFile(PathOf("src/d/a"), "version 2", kBaseTimeNs + 10 * kSecondNs);

  const RunResult rerun = Run(settings);
  EXPECT_EQ(rerun.ended.exit_code, 0) << rerun.err;
  EXPECT_THAT(DifferencesFromSource({OnServer("dest1"), OnServer("dest2"), PathOf("master")}),
              ::testing::IsEmpty());
}

// Two machines (two mounts of one server folder) run their jobs into it at the same time, as
// two offices handing out the same build: one machine's run is stopped while it copies a large
// file, and the other's run cleans that folder. sshfs numbers files per mount, from 1 up, so
// the stopped copy's file may well have the same number on the other machine, and its lock
// is not seen there.
TEST_F(NetworkTest, ARunOnOneMachineNeverRemovesACopyTheOtherIsWriting) {
  if (!Mount("shared", "machine-a") || !Mount("shared", "machine-b")) {
    GTEST_SKIP() << mount_refusal_;
  }
  const std::string job_a = WriteFile("a.bfs", "[Main]\nSourceFolder=" + PathOf("src") +
                                                   "\nMasterFolder=" + PathOf("master-a") +
                                                   "\nDestFolder=" + PathOf("machine-a") + "\n");
  const std::string job_b = WriteFile("b.bfs", "[Main]\nSourceFolder=" + PathOf("src") +
                                                   "\nMasterFolder=" + PathOf("master-b") +
                                                   "\nDestFolder=" + PathOf("machine-b") + "\n");
  MakeFolder("master-a");
  MakeFolder("master-b");
  std::mt19937_64 random(7);
  std::string bytes(64 << 20, '\0');
  bool caught = false;
  for (int attempt = 0; attempt < 5 && !caught; ++attempt) {
    for (char& c : bytes) c = static_cast<char>(random());
    MakeFolder("src");
    ReplaceFile(PathOf("src/large.bin"), bytes, kBaseTimeNs + attempt * kSecondNs);
    Process a(Command(job_a), PathOf(), OutputKind::kNull);
    for (int wait = 0; wait < 3000 && !CopyUnderWay(a.pid(), PathOf("machine-a")); ++wait) {
      usleep(10000);
    }
    a.Signal(SIGSTOP);
    usleep(100000);
    caught = CopyUnderWay(a.pid(), PathOf("machine-a"));
    if (caught) {
      RunResult b = Run(job_b);
      EXPECT_EQ(b.ended.exit_code, 0) << b.err;
    }
    a.Signal(SIGCONT);
    const Ended a_ended = a.Wait();
    EXPECT_EQ(a_ended.exit_code, 0) << a.err();
  }
  ASSERT_TRUE(caught) << "no copy of machine A was caught under way";
  EXPECT_THAT(DifferencesFromSource({OnServer("shared"), PathOf("master-a"), PathOf("master-b")}),
              ::testing::IsEmpty());
}

}  // namespace
}  // namespace reliability
