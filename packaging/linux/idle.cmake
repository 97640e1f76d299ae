# quelvo-idle: the program, its systemd user unit and its manual page. Included at the end
# of this folder's CMakeLists.txt, so `here` and `out` are that file's.
quelvo_manual_page(quelvo-idle 1)
quelvo_install_program(quelvo-idle)
# Both are settled at install time, where `cmake --install --prefix` may change the prefix.
# ExecStart names the prefix installed to (a package's /usr, not the configured /usr/local).
# systemd --user looks for the units of packages under the prefix's lib (never a multiarch
# folder) and for a user's own in ~/.local/share/systemd/user, so a prefix in the home folder
# takes its share; QUELVO_USER_UNIT_DIR, relative to the prefix, says where instead.
set(QUELVO_USER_UNIT_DIR "" CACHE STRING
    "Folder of the systemd user unit, under the prefix (default: lib/systemd/user, or share/systemd/user for a prefix in the home folder)")
install(CODE "set(CMAKE_INSTALL_FULL_BINDIR \${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR})
  configure_file([[${here}/quelvo-idle.service.in]] [[${out}/installed/quelvo-idle.service]] @ONLY)
  set(unit_dir [[${QUELVO_USER_UNIT_DIR}]])
  if(NOT unit_dir)
    set(unit_dir lib/systemd/user)
    string(LENGTH \"\$ENV{HOME}/\" home_length)
    string(SUBSTRING \"\${CMAKE_INSTALL_PREFIX}/\" 0 \${home_length} prefix_start)
    if(home_length GREATER 2 AND prefix_start STREQUAL \"\$ENV{HOME}/\")
      set(unit_dir share/systemd/user)
    endif()
  endif()
  file(INSTALL [[${out}/installed/quelvo-idle.service]]
       DESTINATION \${CMAKE_INSTALL_PREFIX}/\${unit_dir})")
