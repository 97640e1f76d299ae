# quelvo-idle: the program, its systemd user unit and its manual page. Included at the end
# of this folder's CMakeLists.txt, so `here` and `out` are that file's.
configure_file(${here}/quelvo-idle.1.in ${out}/quelvo-idle.1 @ONLY)
add_custom_command(
  OUTPUT ${out}/quelvo-idle.1.gz
  COMMAND ${GZIP} -9nf -k ${out}/quelvo-idle.1
  DEPENDS ${out}/quelvo-idle.1
  COMMENT "Compressing quelvo-idle's manual page"
  VERBATIM)
add_custom_target(quelvo_idle_docs ALL DEPENDS ${out}/quelvo-idle.1.gz)

install(TARGETS quelvo-idle RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND [[${CMAKE_STRIP}]] --remove-section=.comment --remove-section=.note
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/quelvo-idle\" COMMAND_ERROR_IS_FATAL ANY)
endif()")
install(FILES ${out}/quelvo-idle.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# ExecStart names the prefix installed to (cpack's /usr, not the configured /usr/local);
# systemd looks for user units under the prefix's lib, never a multiarch folder.
install(CODE "set(CMAKE_INSTALL_FULL_BINDIR \${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR})
  configure_file([[${here}/quelvo-idle.service.in]] [[${out}/installed/quelvo-idle.service]] @ONLY)")
install(FILES ${out}/installed/quelvo-idle.service DESTINATION lib/systemd/user)
# Whoever builds the saver and its manual for the package builds these along.
add_dependencies(quelvo_docs quelvo-idle quelvo_idle_docs)
