// kill -9 at many moments of runs over a tree of thousands of files with three targets. After
// every kill each target may only hold whole versions of source files, and the master nothing
// newer than a destination; after the normal rerun every target equals the source and no
// temporary file is left anywhere.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <random>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/reliability/support/reliability_test.h"

namespace reliability {
namespace {

enum class Moment { kScan, kFolderPass, kEarlyCopy, kLateCopy, kLargeCopy, kAnyTime };
constexpr Moment kMoments[] = {Moment::kScan,     Moment::kFolderPass, Moment::kEarlyCopy,
                               Moment::kLateCopy, Moment::kLargeCopy,  Moment::kAnyTime};
constexpr const char* kMomentNames[] = {"scan",      "folder pass", "early copy",
                                        "late copy", "large copy",  "any time"};

constexpr int kFolders = 40;
constexpr int kFilesPerFolder = 60;
constexpr size_t kLargeSize = 16 << 20;

int RoundsWanted() {
  const char* text = std::getenv("PARLOWEN_KILL_ROUNDS");
  return text ? std::max(1, std::atoi(text)) : 24;
}

int CountOf(const std::string& text, const std::string& what) {
  int count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

class KillTest : public ReliabilityTest {
 protected:
  void SetUp() override {
    ReliabilityTest::SetUp();
    MoveIntoRam("1g");
  }

  std::string Content(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; i += 8) {
      const uint64_t word = random_();
      std::memcpy(bytes.data() + i, &word, std::min<size_t>(8, size - i));
    }
    return bytes;
  }
  int64_t TimeOfRound(int round) {
    return kBaseTimeNs + round * 100 * kSecondNs + static_cast<int64_t>(random_() % kSecondNs);
  }
  unsigned SomeMode() {
    static constexpr unsigned kModes[] = {0644, 0600, 0444, 0755, 0640};
    return kModes[random_() % 5];
  }

  // Round 0 builds the tree; later rounds change some files, add a folder and, when asked,
  // rewrite the large file. Returns the number of files the run has to copy.
  int Change(int round, bool large) {
    if (round == 0) {
      for (int f = 0; f < kFolders; ++f) {
        const std::string folder = "src/d" + std::to_string(f);
        MakeFolder(folder);
        for (int i = 0; i < kFilesPerFolder; ++i) {
          PutFile(PathOf(folder + "/file" + std::to_string(i) + ".dat"), Content(random_() % 6000),
                  TimeOfRound(0), SomeMode());
        }
      }
    } else {
      for (int i = 0; i < 120; ++i) {
        const std::string path = "src/d" + std::to_string(random_() % kFolders) + "/file" +
                                 std::to_string(random_() % kFilesPerFolder) + ".dat";
        PutFile(PathOf(path), Content(random_() % 6000), TimeOfRound(round), SomeMode());
      }
      const std::string folder = "src/n" + std::to_string(round);
      MakeFolder(folder);
      for (int i = 0; i < 10; ++i) {
        PutFile(PathOf(folder + "/new" + std::to_string(i)), Content(random_() % 3000),
                TimeOfRound(round), SomeMode());
      }
    }
    if (large) {
      ReplaceFile(PathOf("src/large.bin"), Content(kLargeSize), TimeOfRound(round), 0644);
    }
    int changed = 0;
    for (const auto& [path, state] : ReadTree(PathOf("src")).files) {
      std::vector<FileState>& known = versions_[path];
      if (known.empty() || !(known.back() == state)) {
        known.push_back(state);
        ++changed;
      }
    }
    return changed;
  }

  // Which version of `path` a target holds: -1 when absent, -2 when it is no source version.
  int VersionIn(const Tree& tree, const std::string& path) {
    auto it = tree.files.find(path);
    if (it == tree.files.end())
      return -1;
    const std::vector<FileState>& known = versions_[path];
    auto found = std::find(known.begin(), known.end(), it->second);
    return found == known.end() ? -2 : static_cast<int>(found - known.begin());
  }

  // What may be seen right after a kill.
  void CheckAfterKill(const std::string& when) {
    std::vector<Tree> trees;
    size_t temporaries = 0;
    for (const std::string& target : Targets()) {
      trees.push_back(ReadTree(target));
      temporaries += trees.back().temporaries.size();
      for (const auto& [path, state] : trees.back().files) {
        EXPECT_NE(VersionIn(trees.back(), path), -2)
            << when << ": " << target << " holds a version of " << path
            << " that the source never had";
      }
    }
    // A kill interrupts at most the copies running at once: one per processor, four at most.
    EXPECT_LE(temporaries, std::clamp(std::thread::hardware_concurrency(), 1u, 4u)) << when;
    const Tree& master = trees.back();
    for (const auto& [path, state] : master.files) {
      const int in_master = VersionIn(master, path);
      for (size_t d = 0; d + 1 < trees.size(); ++d) {
        EXPECT_GE(VersionIn(trees[d], path), in_master)
            << when << ": the master is ahead of " << Targets()[d] << " for " << path;
      }
    }
  }

  // Kills the run at the moment; true when the kill ended it.
  bool KillAt(Moment moment, int round, int copies, const std::string& settings) {
    Process run(Command(settings), PathOf(), OutputKind::kTerminal);
    auto until = [&](auto ready) {
      while (!ready()) {
        if (!run.Read(0))
          return;
      }
    };
    switch (moment) {
      case Moment::kScan: {
        until([&] { return run.out().find("Get list of files...") != std::string::npos; });
        std::this_thread::sleep_for(std::chrono::microseconds(random_() % (scan_us_ + 1)));
        break;
      }
      case Moment::kFolderPass: {
        const std::string made = Targets()[random_() % 3] + "/n" + std::to_string(round);
        struct stat st;
        until([&] { return stat(made.c_str(), &st) == 0; });
        break;
      }
      case Moment::kEarlyCopy:
      case Moment::kLateCopy: {
        const int total = copies * 3;
        const int at = moment == Moment::kEarlyCopy
                           ? 1 + static_cast<int>(random_() % (total / 10))
                           : total * 7 / 10 + static_cast<int>(random_() % (total * 3 / 10));
        until([&] { return CountOf(run.out(), "Copy ") >= at; });
        break;
      }
      case Moment::kLargeCopy: {
        const std::string folder = Targets()[random_() % 3];
        until([&] { return CopyUnderWay(run.pid(), folder); });
        break;
      }
      case Moment::kAnyTime:
        std::this_thread::sleep_for(std::chrono::microseconds(random_() % (run_us_ + 1)));
        break;
    }
    copy_under_way_ = false;
    for (const std::string& target : Targets()) {
      copy_under_way_ = copy_under_way_ || CopyUnderWay(run.pid(), target);
    }
    run.Signal(SIGKILL);
    Ended ended = run.Wait();
    return ended.signal == SIGKILL;
  }

  std::mt19937_64 random_{std::random_device{}()};
  std::map<std::string, std::vector<FileState>> versions_;
  long scan_us_ = 8000;  // about the scan of this tree
  long run_us_ = 200000;
  bool copy_under_way_ = false;  // into a target's top folder when the kill was sent
};

TEST_F(KillTest, RerunAfterKillNineCompletesEveryTargetAndLeavesNoTemporary) {
  const std::string settings = WriteDefaultSettings();
  const int rounds = RoundsWanted();
  int kills = 0, inside_copy = 0, runs = 0;
  int per_moment[6] = {};
  for (int round = 0; round < rounds; ++round) {
    const Moment moment = kMoments[round % 6];
    const int copies = Change(round, round == 0 || moment == Moment::kLargeCopy);
    const std::string when =
        "round " + std::to_string(round) + " (" + kMomentNames[static_cast<int>(moment)] + ")";

    const bool killed = KillAt(moment, round, copies, settings);
    ++runs;
    kills += killed;
    per_moment[static_cast<int>(moment)] += killed;
    CheckAfterKill(when);
    inside_copy += killed && copy_under_way_;

    auto started = std::chrono::steady_clock::now();
    RunResult rerun = Run(settings);
    run_us_ = std::chrono::duration_cast<std::chrono::microseconds>(
                  std::chrono::steady_clock::now() - started)
                  .count();
    ++runs;
    EXPECT_EQ(rerun.ended.exit_code, 0) << when << "\n" << rerun.err;
    EXPECT_EQ(rerun.err, "") << when;
    ASSERT_THAT(TargetDifferences(), ::testing::IsEmpty()) << when;
    if (::testing::Test::HasFailure())
      break;
  }
  EXPECT_GE(kills, rounds * 3 / 4) << "most kills must land inside a run";
  std::cout << "[ figures  ] kill -9: " << kills << " kills in " << rounds << " rounds ("
            << inside_copy << " inside a copy; scan " << per_moment[0] << ", folder pass "
            << per_moment[1] << ", early copy " << per_moment[2] << ", late copy " << per_moment[3]
            << ", large copy " << per_moment[4] << ", any time " << per_moment[5] << "), " << runs
            << " runs, " << versions_.size() << " files x 3 targets, nothing lost\n";
}

}  // namespace
}  // namespace reliability
