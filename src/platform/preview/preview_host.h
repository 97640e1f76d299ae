// The saver run inside another program's window, as a "/p" process would run in its
// host's preview area: the settings window's live preview. The host owns the clock and
// the pixels; this platform owns nothing of the toolkit's, so the host can be anything
// that can show 32-bit pixels and forward a click or a key.
#pragma once

#include <cstdint>

#include "platform/raster/raster.h"

namespace preview {

// One run. Each starts as a new "/p" process would: fresh forms, the random sequence from
// its fixed start. At most one lives at a time (the runtime's application is one per
// process): making a second while one lives throws std::logic_error. The area is all the
// run knows of a display (its Screen), so the banner and the rain are laid out in it.
class Host {
 public:
  // The preview area in logical pixels, drawn at `scale` device pixels per logical one.
  // Its clock starts at the first AdvanceTo.
  Host(int width, int height, int scale);
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // The area changed size or scale: the run follows it as a preview follows its host.
  void Resize(int width, int height, int scale);
  // Moves the run's clock to `micros` (the host's monotonic time, e.g. a frame clock):
  // every timer due by then ticks once at most, as on a loaded desktop; none pile up.
  void AdvanceTo(std::int64_t micros);
  // Composes what changed since the last Draw (everything the first time or after a
  // Resize) into the canvas, sized width * scale by height * scale, which keeps what the
  // earlier Draws put there. False: nothing to do.
  bool Draw(raster::Canvas& canvas);

  // Input at logical positions in the area. A completed click or a key unloads the form,
  // as in a host's preview; then Ended() is true and the host starts a new Host. Like
  // any click, one on the banner (the first 3.3 s) or on a letter is theirs, not the
  // form's, and ends nothing. keyCode: a Windows virtual-key code ('A', ' ', 13...).
  void Click(int x, int y);
  void Key(int keyCode);
  bool Ended() const;

 private:
  struct State;
  State* state_;
};

}  // namespace preview
