// The texts that replace the controls' English layout texts when the window is created, before
// it is first shown, in the order they are set. Every view lays its controls out in English.
#pragma once

#include <array>

#include "form/control_id.h"

namespace form {

struct StartupText {
  ControlId control;
  const char* text;  // UTF-8
};

extern const std::array<StartupText, 21> kStartupTexts;

}  // namespace form
