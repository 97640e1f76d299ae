#include "idle/gnome_delay_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "idle/gnome_delay.h"

namespace idle {

void GnomeDelayReader::Start(sd_event* loop, Done done) {
  Close();
  int pipe[2];
  if (pipe2(pipe, O_CLOEXEC | O_NONBLOCK) != 0) return done(std::nullopt);
  const std::string error = gsettings_.Start(
      loop, {"gsettings", "get", "org.gnome.desktop.session", "idle-delay"}, true, [](int) {},
      pipe[1]);
  close(pipe[1]);
  fd_ = pipe[0];
  if (!error.empty() || sd_event_add_io(loop, &io_, fd_, EPOLLIN, OnReadable, this) < 0) {
    Close();
    return done(std::nullopt);
  }
  printed_.clear();
  done_ = std::move(done);
}

int GnomeDelayReader::OnReadable(sd_event_source*, int fd, std::uint32_t, void* data) {
  auto* self = static_cast<GnomeDelayReader*>(data);
  char buffer[256];
  const ssize_t n = read(fd, buffer, sizeof buffer);
  if (n > 0 && self->printed_.size() < 4096) self->printed_.append(buffer, static_cast<size_t>(n));
  if (n > 0 || (n < 0 && errno == EAGAIN)) return 0;
  const Done done = std::move(self->done_);
  const std::string printed = std::move(self->printed_);
  self->Close();
  if (done) done(ParseGnomeDelay(printed));
  return 0;
}

void GnomeDelayReader::Close() {
  io_ = sd_event_source_unref(io_);
  if (fd_ >= 0) close(fd_), fd_ = -1;
}

}  // namespace idle
