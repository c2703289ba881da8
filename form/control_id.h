// The window's controls by name, for the form and every view of it. The order is the order
// in which the window declares them.
#pragma once

#include <cstddef>

namespace form {

enum class ControlId {
  Panel1,
  pc,
  tsGeneral,
  tsAbout,
  btExit,
  btStart,
  Label1,
  pb,
  gbPath,
  meSource,
  SpeedButton2,
  meMaster,
  SpeedButton4,
  meDest,
  SpeedButton6,
  Label2,
  Label3,
  Label4,
  tsMisc,
  chSyncSub,
  chCreateSub,
  Label5,
  meMask,
  lbState,
  gbFileMode,
  chSize,
  chDate,
  chReadOnly,
  chHidden,
  chArchive,
  chSystem,
  chCompressed,
  chAttr,
  cbINI,
  Label6,
  Label7,
  Label8,
  Label9,
};

inline constexpr size_t kControlCount = static_cast<size_t>(ControlId::Label9) + 1;

// The control's name as the window declares it: "meSource".
const char* ControlName(ControlId control);

}  // namespace form
