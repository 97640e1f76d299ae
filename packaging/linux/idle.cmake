# quelvo-idle: the program, its systemd user unit and its manual page. Included at the end
# of this folder's CMakeLists.txt, so `here` and `out` are that file's.
quelvo_manual_page(quelvo-idle 1)
quelvo_install_program(quelvo-idle)
# ExecStart names the prefix installed to (a package's /usr, not the configured /usr/local);
# systemd looks for user units under the prefix's lib, never a multiarch folder.
install(CODE "set(CMAKE_INSTALL_FULL_BINDIR \${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR})
  configure_file([[${here}/quelvo-idle.service.in]] [[${out}/installed/quelvo-idle.service]] @ONLY)")
install(FILES ${out}/installed/quelvo-idle.service DESTINATION lib/systemd/user)
