// The options of one settings file, as a plain value record. Field names are the key names.
#pragma once

#include <string>

namespace engine {

// Bounds of the numbers below; a settings value or an option beyond them takes the bound.
inline constexpr int kMostRetries = 100;
inline constexpr int kLongestRetryWait = 3600;  // seconds

struct TOptionSync {
  std::string SourceFolder;
  std::string MasterFolder;
  std::string DestFolder;  // destination folders separated by ";"
  bool SyncSub = true;
  bool CreateSub = true;  // stored and shown only: a run always creates missing subfolders
  std::string Mask = "*.*";
  bool flSize = true;
  bool flDate = true;
  bool flAttr = false;
  // Stored and shown only: flAttr compares the attribute word as a whole.
  bool flReadOnly = false;
  bool flHidden = false;
  bool flArchive = false;
  bool flSystem = false;
  bool flCompressed = false;
  // How many copies are under way at once; 0: as many as suit the machine and the targets.
  // Read only: the window never writes it.
  int Parallel = 0;

  // Keys the window neither shows nor writes. Each default is the rule of a file without it.
  int TimeTolerance = 0;         // seconds two times may differ and still count as equal
  bool IgnoreHourShift = false;  // times exactly an hour apart (give or take the tolerance) too
  std::string Exclude;           // masks separated by ";": names that are not copied nor entered
  int Retries = 0;               // tries again of a copy that failed for a reason that may pass
  int RetryWait = 5;             // seconds before each round of tries again

  bool operator==(const TOptionSync&) const = default;
};

}  // namespace engine
