// One input for the settings reader and writer: the bytes of a settings file, a key and a
// value. Shared by the coverage-guided fuzzer and the random-bytes test of the normal suite.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace reliability {

// Reads, edits and writes the settings file the input describes, in memory and through a real
// file at `scratch_path`. Returns "" when every property held, else what went wrong.
std::string CheckSettingsInput(const uint8_t* data, size_t size, const std::string& scratch_path);
// The same, leaving out the real file when `with_file` is false.
std::string CheckSettingsInput(const uint8_t* data, size_t size, const std::string& scratch_path,
                               bool with_file);

}  // namespace reliability
