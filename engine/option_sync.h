// The options of one settings file, as a plain value record. Field names are the key names.
#pragma once

#include <string>

namespace engine {

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

  bool operator==(const TOptionSync&) const = default;
};

}  // namespace engine
