# The X11 paint path driven tick by tick on a real display ($DISPLAY): heap allocations
# per tick, and the picture after a given number of ticks (same_pixels.sh).
find_package(X11 REQUIRED COMPONENTS Xfixes)
find_package(PkgConfig REQUIRED)
pkg_check_modules(QUELVO_BENCH_XFT REQUIRED IMPORTED_TARGET xft fontconfig)
add_executable(quelvo_x11_paint_bench paint_bench.cpp ../counting_allocator.cpp
  $<TARGET_OBJECTS:quelvo_program> $<TARGET_OBJECTS:quelvo_forms>
  $<TARGET_OBJECTS:quelvo_x11> $<TARGET_OBJECTS:quelvo_linux_shared>
  $<TARGET_OBJECTS:quelvo_linux_dispatch>
  ${PROJECT_SOURCE_DIR}/src/platform/linux_entry/linux_backend_x11.cpp)
target_include_directories(quelvo_x11_paint_bench PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(quelvo_x11_paint_bench PRIVATE PkgConfig::QUELVO_BENCH_XFT
  X11::X11 X11::Xrender X11::Xext X11::Xss X11::Xrandr X11::Xinerama)
# The font code the X11 platform shares with the client-side renderer, where it exists.
if(TARGET quelvo_raster)
  target_link_libraries(quelvo_x11_paint_bench PRIVATE quelvo_raster)
endif()
