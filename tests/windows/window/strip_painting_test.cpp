// What the window paints while a run holds its thread: the gauge as designed, and the bottom
// strip on the screen before each status or percentage call returns, with no paint left
// pending for a message loop that does not run until the end.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/platform/win32/win32_text.h"
#include "form/main_form.h"
#include "tests/windows/window/running_window.h"
#include "wingui/control_ids.h"
#include "wingui/fonts.h"
#include "wingui/progress_gauge.h"
#include "wingui/tf_main.h"

namespace window_tests {
namespace {

using form::ControlId;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kLightOverNavy = RGB(255, 255, 127);

struct Pixels {
  int width, height;
  std::vector<COLORREF> colors;
  COLORREF At(int x, int y) const { return colors[static_cast<size_t>(y * width + x)]; }
  int Count(COLORREF color, int left, int right) const {
    int count = 0;
    for (int y = 1; y + 1 < height; ++y) {
      for (int x = left; x < right; ++x) count += At(x, y) == color ? 1 : 0;
    }
    return count;
  }
};

Pixels PaintedGauge(int percent, HFONT font) {
  Pixels pixels{281, 13, {}};
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, pixels.width, pixels.height);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const RECT area = {0, 0, pixels.width, pixels.height};
  wingui::PaintGauge(dc, area, percent, wingui::kNavy, font);
  for (int y = 0; y < pixels.height; ++y) {
    for (int x = 0; x < pixels.width; ++x) pixels.colors.push_back(GetPixel(dc, x, y));
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return pixels;
}

TEST(GaugePaintingTest, FrameBarAndPercentageDrawnInvertedOverWhatLiesBeneath) {
  wingui::WindowFonts fonts = wingui::MakeWindowFonts(wingui::Scale(96));
  const struct {
    int percent;
    int bar_width;  // of the 279 pixels inside the frame
  } rows[] = {{0, 0}, {37, 103}, {50, 139}, {100, 279}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.percent);
    const Pixels pixels = PaintedGauge(row.percent, fonts.text);
    for (const auto& [x, y] : {std::pair{0, 0}, {280, 0}, {0, 12}, {280, 12}, {140, 0}}) {
      EXPECT_EQ(pixels.At(x, y), kBlack) << "frame at " << x << "," << y;
    }
    // The top row inside the frame lies above the text.
    for (int x = 1; x < 280; ++x) {
      ASSERT_EQ(pixels.At(x, 1), x <= row.bar_width ? wingui::kNavy : kWhite) << "at " << x;
    }
    // The percentage, dark over white and light over the bar, and nothing else.
    const int dark = pixels.Count(kBlack, 1 + row.bar_width, 280);
    const int light = pixels.Count(kLightOverNavy, 1, 1 + row.bar_width);
    EXPECT_EQ(dark > 0, row.percent < 60) << dark;
    EXPECT_EQ(light > 0, row.percent > 40) << light;
    EXPECT_EQ(pixels.Count(kLightOverNavy, 1 + row.bar_width, 280), 0);
  }
  wingui::DeleteWindowFonts(fonts);
}

class NoDialogs : public form::FormDialogs {
 public:
  std::optional<std::string> ChooseFolder(const std::string&) override { return {}; }
  std::optional<std::string> ChooseSettingsFile(const std::string&, const std::string&) override {
    return {};
  }
  void ShowError(const std::string&, const std::string&) override {}
  void ShowWarning(const std::string&, const std::string&) override {}
  void OpenAddress(const std::string&) override {}
};

bool PaintPending(HWND window) {
  return GetUpdateRect(window, nullptr, FALSE) != FALSE;
}

TEST(StripPaintingTest, StatusAndPercentageAreOnTheScreenWhenTheCallReturns) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  wingui::RegisterWindowClasses(instance);
  NoDialogs dialogs;
  form::FormContext context;
  context.program_folder = platform::Utf8FromWide(L"C:\\windows\\temp");
  wingui::TfMain view(instance, dialogs, context);
  HWND window = view.Create(SW_SHOWNORMAL);
  ASSERT_NE(window, nullptr);
  // Everything the window needs to paint at first, before the run holds the thread.
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  auto control = [&](ControlId id) {
    HWND panel = GetDlgItem(window, wingui::ControlIdOf(ControlId::Panel1));
    return id == ControlId::Panel1 ? panel : GetDlgItem(panel, wingui::ControlIdOf(id));
  };

  view.ShowRunDisplay(true);
  view.ShowPercent(0);
  EXPECT_FALSE(PaintPending(control(ControlId::pb)));
  const std::string long_status = "Copy C:\\" + std::string(300, 'x') + "\\file.txt";
  for (const std::string& status :
       {std::string("Get list of files..."), long_status, std::string("Copy C:\\a.txt")}) {
    SCOPED_TRACE(status);
    view.ShowStatus(status);
    for (ControlId id : {ControlId::Panel1, ControlId::lbState, ControlId::pb}) {
      EXPECT_FALSE(PaintPending(control(id))) << form::ControlName(id);
    }
    EXPECT_TRUE(IsWindowVisible(control(ControlId::lbState)));
    wchar_t text[512] = {};
    GetWindowTextW(control(ControlId::lbState), text, 512);
    EXPECT_EQ(platform::Utf8FromWide(text), status);
    // The line stops short of the buttons.
    RECT line, start;
    GetWindowRect(control(ControlId::lbState), &line);
    GetWindowRect(control(ControlId::btStart), &start);
    EXPECT_LE(line.right, start.left);
  }
  for (int percent : {1, 42, 100}) {
    view.ShowPercent(percent);
    EXPECT_FALSE(PaintPending(control(ControlId::pb))) << percent;
    EXPECT_EQ(SendMessageW(control(ControlId::pb), wingui::kGaugeGetPercent, 0, 0), percent);
  }
  view.ShowRunDisplay(false);
  EXPECT_FALSE(IsWindowVisible(control(ControlId::lbState)));
  EXPECT_FALSE(IsWindowVisible(control(ControlId::pb)));
}

}  // namespace
}  // namespace window_tests
