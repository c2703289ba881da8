// The one window of parlowin as Win32 draws it: a fixed-size dialog-framed window with three
// tab pages above a bottom strip holding the status line, the gauge and the buttons Start and
// Exit. It is a view of the form, which holds every rule: the window lays the controls out,
// hands the form what the user does, and shows what the form sets.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "form/control_id.h"
#include "form/form_dialogs.h"
#include "form/form_view.h"
#include "form/main_form.h"
#include "wingui/fonts.h"
#include "wingui/scale.h"

namespace wingui {

class TfMain : public form::FormView {
 public:
  TfMain(HINSTANCE instance, form::FormDialogs& dialogs, form::FormContext context);
  ~TfMain() override;
  TfMain(const TfMain&) = delete;
  TfMain& operator=(const TfMain&) = delete;

  // Creates the window and its controls and runs FormCreate; then shows the window, centred,
  // with the focus on Exit.
  HWND Create(int show_command);
  HWND handle() const { return window_; }

  // The keys the window handles itself before a message is dispatched: Tab and Shift+Tab in
  // the window's own order, Enter on the focused push button, Escape, Alt+Down in a path
  // field. True when the message was used.
  bool HandleKey(const MSG& message);

  // form::FormView (tf_main_view.cpp).
  std::string Text(form::ControlId control) const override;
  void SetText(form::ControlId control, const std::string& text) override;
  bool Checked(form::ControlId box) const override;
  void SetChecked(form::ControlId box, bool checked) override;
  void SetEnabled(form::ControlId control, bool enabled) override;
  void Focus(form::ControlId control) override;
  void Close() override;
  void ShowRunDisplay(bool shown) override;
  void ShowStatus(const std::string& text) override;
  void ShowPercent(int percent) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  // tf_main_controls.cpp: construction only, no behaviour.
  void BuildControls();
  void BuildBottomStrip();
  void BuildPages();
  void BuildGeneralPage();
  void BuildMiscPage();
  void BuildAboutPage();
  HWND Make(form::ControlId id, const wchar_t* window_class, DWORD style, form::ControlId parent,
            int left, int top, int width, int height, const wchar_t* text);
  HWND MakeIn(HWND parent, int id, const wchar_t* window_class, DWORD style, int left, int top,
              int width, int height, const wchar_t* text);
  void MakePathField(form::ControlId field, form::ControlId parent, int left, int top, int width);
  void CentreOnScreen();

  // tf_main.cpp: what the user does, to the form's handlers.
  void Command(int id, int code);
  void ShowPage(int index);
  void MoveFocus(bool forward);
  // The path field whose edit or browse button `window` is, if any.
  bool PathFieldOf(HWND window, form::ControlId* field) const;

  // Sizes a label to its text, growing to the right from its left edge.
  void FitLabel(HWND label, int max_right);

  HWND Control(form::ControlId control) const { return controls_[static_cast<size_t>(control)]; }

  HINSTANCE instance_;
  Scale scale_;
  WindowFonts fonts_;
  HWND window_ = nullptr;
  std::array<HWND, form::kControlCount> controls_{};
  HWND last_focus_ = nullptr;  // given back when the window is activated again
  bool setting_text_ = false;  // the view's own change of a text, not the user's
  form::MainForm form_;
};

// Registers the window classes of the window and its own controls.
void RegisterWindowClasses(HINSTANCE instance);

}  // namespace wingui
