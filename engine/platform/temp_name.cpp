#include "engine/platform/temp_name.h"

#include <chrono>
#include <functional>
#include <random>
#include <thread>

namespace platform {
namespace {

constexpr std::string_view kPrefix = ".~parlowen-";
constexpr std::string_view kSuffix = ".tmp";
constexpr size_t kDigits = 16;
constexpr char kHex[] = "0123456789abcdef";

std::string NameWithDigits(uint64_t bits) {
  std::string name(kPrefix);
  for (size_t i = kDigits; i-- > 0;) name.push_back(kHex[(bits >> (4 * i)) & 15]);
  name += kSuffix;
  return name;
}

uint64_t RandomBits() {
  static thread_local std::mt19937_64 random(
      (uint64_t{std::random_device{}()} << 32) ^
      std::hash<std::thread::id>{}(std::this_thread::get_id()) ^
      static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  return random();
}

// The finaliser of splitmix64: each step is invertible, so distinct identities never share
// a name, and a name a person would type (all zeros, a counter) matches no small number.
uint64_t Mix(uint64_t identity) {
  uint64_t z = identity + 0x9e3779b97f4a7c15ull;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
  return z ^ (z >> 31);
}

uint64_t PlacedDigits(uint32_t random, uint64_t place) {
  return (uint64_t{random} << 32) | (Mix(Mix(place) ^ random) & 0xffffffffu);
}

}  // namespace

std::string NewTempName() {
  return NameWithDigits(RandomBits());
}

std::string TempNameFor(uint64_t identity) {
  return NameWithDigits(Mix(identity));
}

std::string NewTempNameFor(uint64_t place) {
  return NameWithDigits(PlacedDigits(static_cast<uint32_t>(RandomBits()), place));
}

bool IsTempNameFor(std::string_view name, uint64_t place) {
  if (!IsTempName(name))
    return false;
  const uint64_t digits =
      std::stoull(std::string(name.substr(kPrefix.size(), kDigits)), nullptr, 16);
  return PlacedDigits(static_cast<uint32_t>(digits >> 32), place) == digits;
}

bool IsTempName(std::string_view name) {
  if (name.size() != kPrefix.size() + kDigits + kSuffix.size())
    return false;
  if (name.substr(0, kPrefix.size()) != kPrefix)
    return false;
  if (name.substr(kPrefix.size() + kDigits) != kSuffix)
    return false;
  for (char c : name.substr(kPrefix.size(), kDigits)) {
    if (std::string_view(kHex).find(c) == std::string_view::npos)
      return false;
  }
  return true;
}

}  // namespace platform
