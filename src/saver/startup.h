// The program's start: each platform's entry point sets itself up, then calls this.
#pragma once

#include <memory>

namespace quelvo {

// Creates the forms, loads the start-up form and runs the message loop; returns the
// process's exit status.
int Main();

// The application and its forms as Main makes them, for a host that runs the message
// loop itself (the settings window's preview): Start loads the start-up form and
// returns, then the platform hands its events in. The forms go with the object.
class Program {
 public:
  Program();
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  void Start();

 private:
  friend int Main();
  struct Forms;
  std::unique_ptr<Forms> forms_;
};

}  // namespace quelvo
