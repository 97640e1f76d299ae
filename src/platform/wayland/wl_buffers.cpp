// Implements: wl_shm buffers in sealed memory files, freed at once or on release, and
// the shared black pixel of the covers.
#include "platform/wayland/wl_buffers.h"

#include <sys/mman.h>
#include <unistd.h>

#include <limits>

namespace wayland {
namespace {

wl_buffer* blackPixel = nullptr;

void OnRelease(void* data, wl_buffer*) {
  Buffer& b = *static_cast<Buffer*>(data);
  b.busy = false;
  if (b.retired) DestroyBuffer(b);
}
const wl_buffer_listener kBufferListener = {.release = OnRelease};

// A pool of `bytes` zeroes (black in XRGB) mapped here, or -1.
int ZeroFile(std::size_t bytes) {
  const int fd = memfd_create("quelvo-buffer", MFD_CLOEXEC | MFD_ALLOW_SEALING);
  if (fd >= 0 && ftruncate(fd, static_cast<off_t>(bytes)) == 0) return fd;
  if (fd >= 0) close(fd);
  return -1;
}

}  // namespace

bool CreateBuffer(Buffer& b, std::int32_t width, std::int32_t height) {
  DestroyBuffer(b);
  const std::int32_t stride = width * 4;
  const std::size_t bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
  if (bytes > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return false;
  const int fd = ZeroFile(bytes);
  if (fd < 0) return false;
  void* pixels = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (pixels == MAP_FAILED) {
    close(fd);
    return false;
  }
  wl_shm_pool* pool = wl_shm_create_pool(W().shm, fd, static_cast<std::int32_t>(bytes));
  b.buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
  wl_shm_pool_destroy(pool);
  close(fd);
  wl_buffer_add_listener(b.buffer, &kBufferListener, &b);
  b.pixels = static_cast<std::uint32_t*>(pixels);
  b.bytes = bytes;
  b.width = width;
  b.height = height;
  b.stride = stride;
  // A new buffer lags behind everything shown so far.
  b.stale.Clear();
  b.stale.SetBounds(width, height);
  b.stale.Add({0, 0, width, height});
  return true;
}

void DestroyBuffer(Buffer& b) {
  if (b.buffer != nullptr) wl_buffer_destroy(b.buffer);
  if (b.pixels != nullptr) munmap(b.pixels, b.bytes);
  b.buffer = nullptr;
  b.pixels = nullptr;
  b.busy = false;
  b.retired = false;
  b.width = b.height = 0;
}

void RetireBuffer(Buffer& b) {
  if (b.busy) {
    b.retired = true;
  } else {
    DestroyBuffer(b);
  }
}

wl_buffer* BlackPixel() {
  if (blackPixel != nullptr) return blackPixel;
  if (W().singlePixel != nullptr) {
    blackPixel = wp_single_pixel_buffer_manager_v1_create_u32_rgba_buffer(W().singlePixel, 0, 0, 0,
                                                                          0xFFFFFFFF);
    return blackPixel;
  }
  const int fd = ZeroFile(4);
  if (fd < 0) return nullptr;
  wl_shm_pool* pool = wl_shm_create_pool(W().shm, fd, 4);
  blackPixel = wl_shm_pool_create_buffer(pool, 0, 1, 1, 4, WL_SHM_FORMAT_XRGB8888);
  wl_shm_pool_destroy(pool);
  close(fd);
  return blackPixel;
}

void ReleaseBlackPixel() {
  if (blackPixel != nullptr) wl_buffer_destroy(blackPixel);
  blackPixel = nullptr;
}

}  // namespace wayland
