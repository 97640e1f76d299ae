#include "saver/startup.h"

#include "about/Form1.h"
#include "forms/app.h"
#include "rain/frmScreenSaver.h"

namespace quelvo {

struct Program::Forms {
  Forms() : aboutBox(app), screenSaver(app, aboutBox) {}
  forms::App app;
  about::Form1 aboutBox;
  rain::frmScreenSaver screenSaver;
};

Program::Program() : forms_(std::make_unique<Forms>()) {}
Program::~Program() = default;
void Program::Start() { forms_->app.Start(forms_->screenSaver); }

int Main() {
  Program::Forms forms;
  return forms.app.Run(forms.screenSaver);
}

}  // namespace quelvo
