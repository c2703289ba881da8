#include "form/setting_map.h"

namespace form {

using engine::TOptionSync;

const std::array<SettingRow, 14>& SettingMap() {
  static const std::array<SettingRow, 14> kRows = {{
      {"SourceFolder", ControlId::meSource, &TOptionSync::SourceFolder, nullptr},
      {"MasterFolder", ControlId::meMaster, &TOptionSync::MasterFolder, nullptr},
      {"DestFolder", ControlId::meDest, &TOptionSync::DestFolder, nullptr},
      {"SyncSub", ControlId::chSyncSub, nullptr, &TOptionSync::SyncSub},
      {"CreateSub", ControlId::chCreateSub, nullptr, &TOptionSync::CreateSub},
      {"Mask", ControlId::meMask, &TOptionSync::Mask, nullptr},
      {"flSize", ControlId::chSize, nullptr, &TOptionSync::flSize},
      {"flDate", ControlId::chDate, nullptr, &TOptionSync::flDate},
      // Before the five boxes whose enabling it decides.
      {"flAttr", ControlId::chAttr, nullptr, &TOptionSync::flAttr},
      {"flReadOnly", ControlId::chReadOnly, nullptr, &TOptionSync::flReadOnly},
      {"flHidden", ControlId::chHidden, nullptr, &TOptionSync::flHidden},
      {"flArchive", ControlId::chArchive, nullptr, &TOptionSync::flArchive},
      {"flSystem", ControlId::chSystem, nullptr, &TOptionSync::flSystem},
      {"flCompressed", ControlId::chCompressed, nullptr, &TOptionSync::flCompressed},
  }};
  return kRows;
}

}  // namespace form
