#include "saver/startup.h"

namespace quelvo {

int Main() {
  Program program;
  return program.app.Run(program.screenSaver);
}

}  // namespace quelvo
