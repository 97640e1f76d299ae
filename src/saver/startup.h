// The program's start: each platform's entry point sets itself up, then calls this.
#pragma once

#include "about/Form1.h"
#include "forms/app.h"
#include "rain/frmScreenSaver.h"

namespace quelvo {

// The application and its forms as a new process makes them. A host that runs the
// message loop itself (the settings window's preview) calls Start and then hands the
// platform's events in; Main runs the platform's own loop.
struct Program {
  Program() : aboutBox(app), screenSaver(app, aboutBox) {}
  // Loads the start-up form and returns at once.
  void Start() { app.Start(screenSaver); }

  forms::App app;
  about::Form1 aboutBox;
  rain::frmScreenSaver screenSaver;
};

// Creates the forms, loads the start-up form and runs the message loop; returns the
// process's exit status.
int Main();

}  // namespace quelvo
