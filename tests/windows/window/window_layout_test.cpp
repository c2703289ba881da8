// parlowin.exe's window as it first appears, read back from the window by this program: every
// control's class, parent and place, its start-up text and states, the pages, the focus; at
// the screen's usual 96 dots per inch and at 144, where every size grows by half.
#include <windows.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "engine/platform/win32/win32_text.h"
#include "tests/windows/window/running_window.h"
#include "tests/windows/window/window_tree.h"
#include "wingui/fonts.h"

namespace window_tests {
namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";

// Sets the screen's dots per inch for programs started from now on, and puts the old setting
// back afterwards.
class ScreenDpi {
 public:
  explicit ScreenDpi(DWORD dpi) {
    RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                    &key_, nullptr);
    DWORD size = sizeof(old_);
    had_ = RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old_),
                            &size) == ERROR_SUCCESS;
    RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                   sizeof(dpi));
  }
  ~ScreenDpi() {
    if (had_) {
      RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_),
                     sizeof(old_));
    } else {
      RegDeleteValueW(key_, L"LogPixels");
    }
    RegCloseKey(key_);
  }
  ScreenDpi(const ScreenDpi&) = delete;
  ScreenDpi& operator=(const ScreenDpi&) = delete;

 private:
  HKEY key_ = nullptr;
  DWORD old_ = 0;
  bool had_ = false;
};

struct Place {
  const char* name;
  const char* window_class;
  const char* parent;
  RECT rect;  // at 96 dots per inch; a width of 0: a label, placed by its left and top only
};

const Place kPlaces[] = {
    {"Panel1", "ParlowenPanel", "fMain", {0, 280, 459, 51}},
    {"pc", "SysTabControl32", "fMain", {0, 0, 459, 280}},
    {"btStart", "Button", "Panel1", {301, 13, 75, 31}},
    {"btExit", "Button", "Panel1", {376, 13, 75, 31}},
    {"pb", "ParlowenGauge", "Panel1", {7, 30, 281, 13}},
    {"lbState", "Static", "Panel1", {8, 14, 0, 0}},
    {"Label1", "Static", "tsGeneral", {8, 5, 0, 0}},
    {"cbINI", "Edit", "tsGeneral", {8, 24, 241, 21}},
    {"gbPath", "Button", "tsGeneral", {7, 44, 433, 165}},
    {"Label2", "Static", "gbPath", {10, 18, 0, 0}},
    {"meSource", "Edit", "gbPath", {9, 32, 398, 21}},
    {"chSyncSub", "Button", "gbPath", {8, 56, 249, 17}},
    {"chCreateSub", "Button", "gbPath", {264, 56, 142, 17}},
    {"Label3", "Static", "gbPath", {10, 81, 0, 0}},
    {"meMaster", "Edit", "gbPath", {9, 95, 399, 21}},
    {"Label4", "Static", "gbPath", {10, 121, 0, 0}},
    {"meDest", "Edit", "gbPath", {9, 135, 399, 21}},
    {"SpeedButton2", "ParlowenFlatButton", "gbPath", {406, 32, 22, 21}},
    {"SpeedButton4", "ParlowenFlatButton", "gbPath", {406, 95, 22, 21}},
    {"SpeedButton6", "ParlowenFlatButton", "gbPath", {406, 135, 22, 21}},
    {"Label5", "Static", "tsMisc", {8, 13, 0, 0}},
    {"meMask", "ComboBox", "tsMisc", {56, 11, 169, 21}},
    {"gbFileMode", "Button", "tsMisc", {8, 37, 441, 124}},
    {"chSize", "Button", "gbFileMode", {10, 20, 97, 17}},
    {"chDate", "Button", "gbFileMode", {10, 41, 97, 17}},
    {"chAttr", "Button", "gbFileMode", {168, 20, 97, 17}},
    {"chReadOnly", "Button", "gbFileMode", {186, 36, 97, 17}},
    {"chHidden", "Button", "gbFileMode", {186, 53, 97, 16}},
    {"chArchive", "Button", "gbFileMode", {186, 68, 97, 17}},
    {"chSystem", "Button", "gbFileMode", {186, 83, 97, 17}},
    {"chCompressed", "Button", "gbFileMode", {186, 100, 97, 16}},
    {"Label6", "Static", "tsAbout", {16, 8, 0, 0}},
    {"Label7", "Static", "tsAbout", {17, 28, 0, 0}},
    {"Label8", "Static", "tsAbout", {17, 44, 0, 0}},
    {"Label9", "Static", "tsAbout", {64, 44, 0, 0}},
};

struct StartState {
  const char* name;
  const char* text;  // nullptr: not compared here
  bool visible;      // the control's own flag
  bool enabled;
  bool checked;
};

const StartState kStartStates[] = {
    {"Panel1", "", true, true, false},
    {"btStart", "Старт", true, true, false},
    {"btExit", "Выход", true, true, false},
    {"lbState", "lbState", false, true, false},
    {"pb", "", false, true, false},
    {"tsGeneral", "Основные", true, true, false},
    {"tsMisc", "Дополнительно", false, true, false},
    {"tsAbout", "About", false, true, false},
    {"Label1", "Загрузить настройки из INI-файла", true, true, false},
    {"cbINI", "", true, true, false},
    {"gbPath", "Пути", true, true, false},
    {"Label2", "Каталог - источник", true, true, false},
    {"meSource", "", true, true, false},
    {"chSyncSub", "Синхронизировать подкаталоги", true, true, true},
    {"chCreateSub", "Создавать каталоги", true, true, true},
    {"Label3", "Эталонный каталог", true, true, false},
    {"meMaster", "", true, true, false},
    {"Label4", "Каталог(и) назначения", true, true, false},
    {"meDest", "", true, true, false},
    {"SpeedButton2", "+", false, true, false},
    {"SpeedButton4", "+", false, true, false},
    {"SpeedButton6", "+", true, true, false},
    {"Label5", "Маска", true, true, false},
    {"meMask", "*.*", true, true, false},
    {"gbFileMode", "Копировать файлы если изменилось", true, true, false},
    {"chSize", "Размер", true, true, true},
    {"chDate", "Дата - время", true, true, true},
    {"chAttr", "Атрибуты", true, true, false},
    {"chReadOnly", "Только чтение", true, false, false},
    {"chHidden", "Скрытый", true, false, false},
    {"chArchive", "Архивный", true, false, false},
    {"chSystem", "Системный", true, false, false},
    {"chCompressed", "Сжатый", true, false, false},
    {"Label6", "Parlowen  v 0.1b", true, true, false},
    {"Label7", nullptr, true, true, false},
    {"Label8", "support  ", true, true, false},
    {"Label9", nullptr, true, true, false},
};

SIZE TextSize(HFONT font, const std::string& text) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  const std::wstring wide = platform::WideFromUtf8(text);
  SIZE size = {};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  size.cy = metrics.tmHeight;
  SelectObject(dc, old);
  DeleteDC(dc);
  return size;
}

std::string Describe(const RECT& rect) {
  return std::to_string(rect.left) + "," + std::to_string(rect.top) + " " +
         std::to_string(rect.right - rect.left) + "x" + std::to_string(rect.bottom - rect.top);
}

class WindowLayoutTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    dpi_ = std::make_unique<ScreenDpi>(GetParam());
    running_ = std::make_unique<RunningWindow>();
    ASSERT_NE(running_->window(), nullptr) << "parlowin.exe showed no window";
    controls_ = ReadControls(running_->window());
  }
  void TearDown() override {
    running_.reset();
    dpi_.reset();
  }

  int Scaled(int pixels) const { return MulDiv(pixels, GetParam(), 96); }
  RECT Scaled(const RECT& r) const {
    return {Scaled(r.left), Scaled(r.top), Scaled(r.left) + Scaled(r.right),
            Scaled(r.top) + Scaled(r.bottom)};
  }
  const ControlState& At(const std::string& name) {
    static const ControlState missing;
    const auto found = controls_.find(name);
    EXPECT_NE(found, controls_.end()) << name << " is missing";
    return found == controls_.end() ? missing : found->second;
  }

  std::unique_ptr<ScreenDpi> dpi_;
  std::unique_ptr<RunningWindow> running_;
  std::map<std::string, ControlState> controls_;
};

TEST_P(WindowLayoutTest, IsAFixedDialogFrameCentredOnTheScreen) {
  HWND window = running_->window();
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, Scaled(459));
  EXPECT_EQ(client.bottom, Scaled(331));
  RECT frame;
  GetWindowRect(window, &frame);
  EXPECT_LE(std::abs(frame.left + frame.right - GetSystemMetrics(SM_CXSCREEN)), 1);
  EXPECT_LE(std::abs(frame.top + frame.bottom - GetSystemMetrics(SM_CYSCREEN)), 1);
  EXPECT_EQ(controls_.size(), 42u) << "38 controls and the 4 browse buttons";
}

TEST_P(WindowLayoutTest, ControlsSitInTheirParents) {
  wingui::WindowFonts fonts = wingui::MakeWindowFonts(wingui::Scale(GetParam()));
  for (const Place& place : kPlaces) {
    SCOPED_TRACE(place.name);
    const ControlState& control = At(place.name);
    EXPECT_EQ(control.window_class, place.window_class);
    EXPECT_EQ(control.parent, place.parent);
    const RECT expected = Scaled(place.rect);
    if (place.rect.right > 0) {
      EXPECT_EQ(Describe(control.rect), Describe(expected));
      continue;
    }
    // A label sizes itself to its text, growing to the right.
    EXPECT_EQ(control.rect.left, expected.left);
    EXPECT_EQ(control.rect.top, expected.top);
    const SIZE text =
        TextSize(std::string(place.name) == "Label6" ? fonts.headline : fonts.text, control.text);
    EXPECT_GE(control.rect.right - control.rect.left, text.cx) << control.text;
    EXPECT_GE(control.rect.bottom - control.rect.top, text.cy) << control.text;
  }
  // The pages fill the tab control below its tabs.
  for (const char* page : {"tsGeneral", "tsMisc", "tsAbout"}) {
    EXPECT_EQ(At(page).parent, "pc");
    EXPECT_EQ(Describe(At(page).rect), Describe(At("tsGeneral").rect)) << page;
  }
  // Each path field's browse button lies inside the field's right end.
  for (const char* field : {"cbINI", "meSource", "meMaster", "meDest"}) {
    SCOPED_TRACE(field);
    const ControlState& browse = At(std::string(field) + ".browse");
    const RECT& box = At(field).rect;
    const int border = GetSystemMetrics(SM_CXEDGE);
    EXPECT_EQ(browse.window_class, "ParlowenFlatButton");
    EXPECT_EQ(browse.parent, At(field).parent);
    EXPECT_EQ(Describe(browse.rect),
              Describe({box.right - border - (box.bottom - box.top - 2 * border), box.top + border,
                        box.right - border, box.bottom - border}));
  }
  wingui::DeleteWindowFonts(fonts);
}

TEST_P(WindowLayoutTest, StartsWithRussianTextsAndTheDesignedStates) {
  for (const StartState& state : kStartStates) {
    SCOPED_TRACE(state.name);
    const ControlState& control = At(state.name);
    if (state.text) {
      EXPECT_EQ(control.text, state.text);
    }
    EXPECT_EQ(control.visible, state.visible);
    EXPECT_EQ(control.enabled, state.enabled);
    EXPECT_EQ(control.checked, state.checked);
  }
  EXPECT_EQ(At("Label7").text.find("Parlowen") != std::string::npos, true);
  // The contact is the README installed with the program.
  EXPECT_NE(At("Label9").text.find("README.md"), std::string::npos) << At("Label9").text;

  HWND window = running_->window();
  EXPECT_EQ(TabText(window, 0), "Основные");
  EXPECT_EQ(TabText(window, 1), "Дополнительно");
  EXPECT_EQ(TabText(window, 2), "About");
  EXPECT_EQ(SelectedTab(window), 0);
  EXPECT_EQ(GaugePercent(window), 0);
  EXPECT_EQ(FocusedControl(window), "btExit");
}

INSTANTIATE_TEST_SUITE_P(ScreenDpi, WindowLayoutTest, ::testing::Values(96, 144));

}  // namespace
}  // namespace window_tests
