// The least a Wayland client can do that repaints like quelvo: it wakes 64 times a second on
// the same 1/64 s grid and commits N damaged areas of W x H pixels, at places that change
// every tick, on an overlay surface covering the output, drawn into one of two shared-memory
// buffers the compositor has released. No drawing beyond filling those areas, no program
// logic: what it costs the client and the compositor is the floor under quelvo's figures.
//
//   quelvo_wayland_floor_client N W H
#include <poll.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "wlr-layer-shell-unstable-v1-client-protocol.h"

namespace {

constexpr long kQuantumNs = 15'625'000;  // 1/64 s

wl_compositor* compositor = nullptr;
wl_shm* shm = nullptr;
zwlr_layer_shell_v1* layers = nullptr;
int outputWidth = 0, outputHeight = 0;

struct Buffer {
  wl_buffer* buffer = nullptr;
  std::uint32_t* pixels = nullptr;
  bool busy = false;
} buffers[2];

void Global(void*, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t) {
  if (std::strcmp(interface, wl_compositor_interface.name) == 0)
    compositor =
        static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 4));
  if (std::strcmp(interface, wl_shm_interface.name) == 0)
    shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
  if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0)
    layers = static_cast<zwlr_layer_shell_v1*>(
        wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, 1));
}
void GlobalRemove(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener kRegistry = {Global, GlobalRemove};

void Configure(void*, zwlr_layer_surface_v1* surface, std::uint32_t serial, std::uint32_t w,
               std::uint32_t h) {
  outputWidth = static_cast<int>(w);
  outputHeight = static_cast<int>(h);
  zwlr_layer_surface_v1_ack_configure(surface, serial);
}
void Closed(void*, zwlr_layer_surface_v1*) { std::exit(0); }
const zwlr_layer_surface_v1_listener kLayerSurface = {Configure, Closed};

void Release(void* data, wl_buffer*) { static_cast<Buffer*>(data)->busy = false; }
const wl_buffer_listener kBuffer = {Release};

void Advance(timespec& t) {
  t.tv_nsec += kQuantumNs;
  if (t.tv_nsec >= 1'000'000'000) {
    t.tv_nsec -= 1'000'000'000;
    ++t.tv_sec;
  }
}

int MillisecondsUntil(const timespec& t) {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  const long long ns = (t.tv_sec - now.tv_sec) * 1'000'000'000LL + (t.tv_nsec - now.tv_nsec);
  return ns > 0 ? static_cast<int>((ns + 999'999) / 1'000'000) : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s areas width height\n", argv[0]);
    return 2;
  }
  const int areas = std::atoi(argv[1]), width = std::atoi(argv[2]), height = std::atoi(argv[3]);
  wl_display* d = wl_display_connect(nullptr);
  if (d == nullptr) return 1;
  wl_registry_add_listener(wl_display_get_registry(d), &kRegistry, nullptr);
  wl_display_roundtrip(d);
  if (compositor == nullptr || shm == nullptr || layers == nullptr) return 1;
  wl_surface* surface = wl_compositor_create_surface(compositor);
  zwlr_layer_surface_v1* layer = zwlr_layer_shell_v1_get_layer_surface(
      layers, surface, nullptr, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "floor");
  zwlr_layer_surface_v1_set_anchor(layer, 15);  // all four edges
  zwlr_layer_surface_v1_set_exclusive_zone(layer, -1);
  zwlr_layer_surface_v1_add_listener(layer, &kLayerSurface, nullptr);
  wl_surface_commit(surface);
  while (outputWidth == 0 && wl_display_dispatch(d) >= 0) {
  }
  const int stride = outputWidth * 4;
  const std::size_t size =
      static_cast<std::size_t>(stride) * static_cast<std::size_t>(outputHeight);
  const int fd = memfd_create("floor", MFD_CLOEXEC);
  if (fd < 0 || ftruncate(fd, static_cast<off_t>(2 * size)) != 0) return 1;
  auto* memory = static_cast<std::uint8_t*>(
      mmap(nullptr, 2 * size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
  wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<int>(2 * size));
  for (int i = 0; i < 2; ++i) {
    buffers[i].buffer = wl_shm_pool_create_buffer(pool, static_cast<int>(i * size), outputWidth,
                                                  outputHeight, stride, WL_SHM_FORMAT_XRGB8888);
    buffers[i].pixels = reinterpret_cast<std::uint32_t*>(memory + i * size);
    wl_buffer_add_listener(buffers[i].buffer, &kBuffer, &buffers[i]);
  }
  wl_surface_attach(surface, buffers[0].buffer, 0, 0);
  wl_surface_damage_buffer(surface, 0, 0, outputWidth, outputHeight);
  wl_surface_commit(surface);
  buffers[0].busy = true;

  unsigned random = 1;
  timespec next;
  clock_gettime(CLOCK_MONOTONIC, &next);
  for (;;) {
    Advance(next);
    // Wait for the next tick, reading whatever the compositor sends meanwhile.
    for (int ms; (ms = MillisecondsUntil(next)) > 0;) {
      while (wl_display_prepare_read(d) != 0) wl_display_dispatch_pending(d);
      wl_display_flush(d);
      pollfd p{wl_display_get_fd(d), POLLIN, 0};
      if (poll(&p, 1, ms) > 0) {
        if (wl_display_read_events(d) != 0) return 1;
      } else {
        wl_display_cancel_read(d);
      }
      wl_display_dispatch_pending(d);
    }
    Buffer* free = !buffers[0].busy ? &buffers[0] : !buffers[1].busy ? &buffers[1] : nullptr;
    if (free == nullptr) continue;  // the compositor holds both: skip, as quelvo does
    wl_surface_attach(surface, free->buffer, 0, 0);
    for (int i = 0; i < areas; ++i) {
      random = random * 1103515245u + 12345u;
      const int x = static_cast<int>((random >> 8) % static_cast<unsigned>(outputWidth - width));
      const int y = static_cast<int>((random >> 4) % static_cast<unsigned>(outputHeight - height));
      for (int row = y; row < y + height; ++row)
        std::memset(free->pixels + row * outputWidth + x, static_cast<int>(random & 0xFF),
                    static_cast<std::size_t>(width) * 4);
      wl_surface_damage_buffer(surface, x, y, width, height);
    }
    wl_surface_commit(surface);
    free->busy = true;
    wl_display_flush(d);
  }
}
