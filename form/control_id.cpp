#include "form/control_id.h"

#include <array>

namespace form {

const char* ControlName(ControlId control) {
  static constexpr std::array<const char*, kControlCount> kNames = {
      "Panel1",       "pc",           "tsGeneral",    "tsAbout",    "btExit",       "btStart",
      "Label1",       "pb",           "gbPath",       "meSource",   "SpeedButton2", "meMaster",
      "SpeedButton4", "meDest",       "SpeedButton6", "Label2",     "Label3",       "Label4",
      "tsMisc",       "chSyncSub",    "chCreateSub",  "Label5",     "meMask",       "lbState",
      "gbFileMode",   "chSize",       "chDate",       "chReadOnly", "chHidden",     "chArchive",
      "chSystem",     "chCompressed", "chAttr",       "cbINI",      "Label6",       "Label7",
      "Label8",       "Label9",
  };
  return kNames[static_cast<size_t>(control)];
}

}  // namespace form
