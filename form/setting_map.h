// Which control shows which key of the settings file: fourteen rows, in the order the keys are
// shown and written.
#pragma once

#include <array>
#include <string>

#include "engine/option_sync.h"
#include "form/control_id.h"

namespace form {

// A text row has `text`, a switch row `flag`; the other is null.
struct SettingRow {
  const char* key;
  ControlId control;
  std::string engine::TOptionSync::*text;
  bool engine::TOptionSync::*flag;
};

const std::array<SettingRow, 14>& SettingMap();

}  // namespace form
