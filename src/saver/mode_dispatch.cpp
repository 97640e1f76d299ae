// The mode dispatch at the end of Form_Load: the first two characters of the trimmed,
// upper-cased command line choose full-screen, preview or the about box.
#include "about/Form1.h"
#include "forms/strings.h"
#include "rain/frmScreenSaver.h"

namespace rain {

void frmScreenSaver::SelectMode() {
  const std::string command = forms::UCase(forms::Trim(Command()));
  const std::string_view Switch = forms::Left(command, 2);
  if (Switch == "/S") {
    SetupRegularMode();
    Timer1.SetEnabled(forms::True);
  } else if (Switch == "/P") {
    SetupPreviewMode();
  } else if (Switch == "/C" || Switch.empty()) {
    Hide();
    Form1.Show();
  }
  // Any other switch selects nothing; the runtime shows the form, so a key ends it.
}

}  // namespace rain
