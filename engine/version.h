// The product version shared by both programs.
#pragma once

namespace engine {

inline constexpr char kVersion[] = "1.0.1.125";

}  // namespace engine
