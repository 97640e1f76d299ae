#include "saver/startup.h"

#include "about/Form1.h"
#include "forms/app.h"
#include "rain/frmScreenSaver.h"

namespace quelvo {

int Main() {
  forms::App app;
  about::Form1 aboutBox(app);
  rain::frmScreenSaver screenSaver(app, aboutBox);
  return app.Run(screenSaver);
}

}  // namespace quelvo
