// Implements: preview::Host, one run of the program in the host's area: made as a new
// "/p" process makes it (the platform's state and the program's forms fresh, so the
// random sequence starts over), then driven by the host's clock, canvas and input.
#include "platform/preview/preview_host.h"

#include <stdexcept>

#include "platform/preview/preview_run.h"
#include "saver/startup.h"

namespace preview {

struct Host::State {
  quelvo::Program program;
};

namespace {
bool hosting = false;
}  // namespace

Host::Host(int width, int height, int scale) {
  // The runtime's application and this platform's state are one per process.
  if (hosting) throw std::logic_error("preview::Host: one run at a time");
  hosting = true;
  BeginRun(width, height, scale);
  state_ = new State;
  state_->program.Start();
}

Host::~Host() {
  // The forms close their windows as they go; the run's state is dropped with the next.
  delete state_;
  hosting = false;
}

void Host::Resize(int width, int height, int scale) {
  Run& run = CurrentRun();
  width = std::max(width, 1);
  height = std::max(height, 1);
  scale = std::max(scale, 1);
  if (width == run.width && height == run.height && scale == run.scale) return;
  run.width = width;
  run.height = height;
  run.scale = scale;
  run.damage.SetBounds(width, height);
  run.redrawAll = true;
  // A form in the host's window fills it, as an embedded window follows its host.
  for (const auto& w : run.windows) {
    if (Embedded(*w) && !run.quit) NoteGeometry(*w, {0, 0, width, height});
  }
}

void Host::AdvanceTo(std::int64_t micros) { AdvanceClock(micros); }

bool Host::Draw(raster::Canvas& canvas) { return PaintDamage(canvas); }

void Host::Click(int x, int y) { ClickAt(x, y); }

void Host::Key(int keyCode) { KeyDown(keyCode); }

bool Host::Ended() const { return CurrentRun().quit; }

}  // namespace preview
