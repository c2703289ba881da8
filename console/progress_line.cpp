#include "console/progress_line.h"

#include <cmath>
#include <cstdio>

namespace console {
namespace {

constexpr double kInterval = 0.25;      // seconds between two drawings of new figures
constexpr double kLeastMeasured = 1.0;  // seconds of copying before a rate is shown

std::string Bytes(double bytes) {
  static const char* const kUnits[] = {"KiB", "MiB", "GiB", "TiB"};
  if (bytes < 1024)
    return std::to_string(static_cast<uint64_t>(bytes)) + " B";
  int unit = -1;
  while (bytes >= 1024 && unit < 3) {
    bytes /= 1024;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", bytes, kUnits[unit]);
  return text;
}

// Whole seconds: the time left rounded up, so it reads 0:00 only at the end.
std::string Duration(double seconds, bool round_up) {
  // A hair below a whole second stays on it: 2.0000000001 is 2 in any arithmetic that matters.
  const int64_t whole =
      static_cast<int64_t>(round_up ? std::ceil(seconds - 1e-6) : std::round(seconds));
  char text[32];
  if (whole < 3600) {
    std::snprintf(text, sizeof text, "%d:%02d", static_cast<int>(whole / 60),
                  static_cast<int>(whole % 60));
  } else {
    std::snprintf(text, sizeof text, "%lld:%02d:%02d", static_cast<long long>(whole / 3600),
                  static_cast<int>(whole / 60 % 60), static_cast<int>(whole % 60));
  }
  return text;
}

}  // namespace

std::string ProgressText(const ProgressFigures& f) {
  std::string text = std::to_string(f.copies_done) + "/" + std::to_string(f.copies_total) +
                     " copies, " + Bytes(static_cast<double>(f.bytes_done)) + "/" +
                     Bytes(static_cast<double>(f.bytes_total));
  // A rate and a time left from less than a second of copying would say little.
  const bool measured = f.seconds >= kLeastMeasured || (f.finished && f.seconds > 0);
  if (measured && f.bytes_done > 0)
    text += ", " + Bytes(static_cast<double>(f.bytes_done) / f.seconds) + "/s";
  if (f.finished)
    return text + ", done in " + Duration(f.seconds, false);
  // By bytes where there are any, as large files take their time by their size.
  double part = 0;
  if (f.bytes_total > 0)
    part = static_cast<double>(f.bytes_done) / static_cast<double>(f.bytes_total);
  else if (f.copies_total > 0)
    part = static_cast<double>(f.copies_done) / static_cast<double>(f.copies_total);
  if (part > 0 && measured)
    text += ", " + Duration(f.seconds * (1 - part) / part, true) + " left";
  return text;
}

void ProgressLine::Total(int64_t copies) {
  figures_.copies_total = copies;
  started_ = clock_();
  active_ = true;
  Draw();
}

void ProgressLine::Step() {
  ++figures_.copies_done;
  figures_.bytes_done += step_bytes_;
  step_bytes_ = 0;
  if (active_ && clock_() - drawn_at_ >= kInterval)
    Draw();
}

void ProgressLine::Clear() {
  if (shown_ == 0)
    return;
  write_("\r" + std::string(shown_, ' ') + "\r");
  shown_ = 0;
}

void ProgressLine::Show() {
  if (!active_ || shown_ != 0 || text_.empty())
    return;
  // The figures last drawn: new ones wait for their turn.
  write_("\r" + text_);
  shown_ = text_.size();
}

void ProgressLine::Finish() {
  if (!active_)
    return;
  figures_.finished = true;
  Draw();
  write_("\n");
  shown_ = 0;
  active_ = false;
}

void ProgressLine::Draw() {
  drawn_at_ = clock_();
  figures_.seconds = drawn_at_ - started_;
  text_ = ProgressText(figures_);
  const size_t blanks = shown_ > text_.size() ? shown_ - text_.size() : 0;
  write_("\r" + text_ + std::string(blanks, ' '));
  shown_ = text_.size();
}

}  // namespace console
