// A form: a top-level window with windowless labels, frames and timers, and the event
// procedures the program overrides. Controls are members built from the form's design;
// the window and the timers exist from Load to Unload.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "forms/surface.h"
#include "forms/types.h"

namespace forms {

class App;
class Frame;
class Timer;

struct FormDesign {
  Colour backColor = vbButtonFace;
  Integer borderStyle = 2;  // 0 none, 2 sizable
  std::string_view caption;
  bool hasIcon = true;
  Single clientWidth = 4800;  // twips
  Single clientHeight = 3600;
};

// The Screen object: the size of the primary screen in twips.
class ScreenObject {
 public:
  explicit ScreenObject(const App& app) : app_(app) {}
  Single Width() const;
  Single Height() const;

 private:
  const App& app_;
};

class Form : public Surface {
 public:
  Form(App& app, const FormDesign& design);
  ~Form() override;

  platform::WindowHandle hWnd() const { return window(); }
  Single Left() const;
  void SetLeft(Single twips);
  Single Top() const;
  void SetTop(Single twips);
  Single Width() const;
  void SetWidth(Single twips);
  Single Height() const;
  void SetHeight(Single twips);
  Colour BackColor() const { return design_.backColor; }
  Integer BorderStyle() const { return design_.borderStyle; }
  std::string_view Caption() const { return design_.caption; }

  // Loads the form first if needed.
  void Show();
  void Hide();
  bool Loaded() const { return loaded_; }

  // Event procedures; a form overrides those it handles.
  virtual void Form_Load() {}
  virtual void Form_Unload(Integer& Cancel) { (void)Cancel; }
  virtual void Form_Click() {}
  virtual void Form_KeyDown(Integer KeyCode, Integer Shift) { (void)KeyCode, (void)Shift; }
  virtual void Form_KeyPress(Integer KeyAscii) { (void)KeyAscii; }
  virtual void Form_MouseDown(Integer Button, Integer Shift, Single X, Single Y) {
    (void)Button, (void)Shift, (void)X, (void)Y;
  }
  virtual void Form_MouseMove(Integer Button, Integer Shift, Single X, Single Y) {
    (void)Button, (void)Shift, (void)X, (void)Y;
  }

 protected:
  // The statements and objects of the runtime, as procedures use them.
  void Unload(Form& form);
  void End();
  Single Rnd();
  std::string Command() const;
  ScreenObject Screen;

 private:
  friend class App;
  friend class Frame;
  friend class Timer;
  void AddFrame(Frame& frame) { frames_.push_back(&frame); }
  void AddTimer(Timer& timer) { timers_.push_back(&timer); }

  // Creates the windows and starts the timers, then raises Form_Load.
  void Load();
  // Stops the timers and destroys the windows; raises nothing.
  void Destroy();
  void WindowRectChanged(const platform::PixelRect& rect, std::int32_t clientWidth,
                         std::int32_t clientHeight);
  void WindowGone() { windowGone_ = true; }
  void MoveWindow(const platform::PixelRect& rect);
  const std::vector<Frame*>& frames() const { return frames_; }

  FormDesign design_;
  std::vector<Frame*> frames_;
  std::vector<Timer*> timers_;
  platform::PixelRect rect_;  // the window's rectangle
  bool loaded_ = false;
  bool loading_ = false;
  bool hiddenDuringLoad_ = false;
  bool unloading_ = false;
  bool windowGone_ = false;
  // Where the last mouse button went down: the form's bare surface or not.
  bool pressOnForm_ = false;
};

}  // namespace forms
