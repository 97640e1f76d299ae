# quelvo-settings: the program, its desktop file, AppStream metainfo, hicolor icons, its
# translations' catalogue and manual page. Included from this folder's CMakeLists.txt, so
# `here` and `out` are that file's.
quelvo_manual_page(quelvo-settings 1)
quelvo_install_program(quelvo-settings)
install(FILES ${here}/org.quelvo.Quelvo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${here}/org.quelvo.Quelvo.metainfo.xml.in ${out}/org.quelvo.Quelvo.metainfo.xml
               @ONLY)
install(FILES ${out}/org.quelvo.Quelvo.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The icons are made from the program's own picture by make_hicolor_icons.py.
set(icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${here}/icons/org.quelvo.Quelvo.svg DESTINATION ${icons}/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${here}/icons/${size}x${size}/org.quelvo.Quelvo.png
          DESTINATION ${icons}/${size}x${size}/apps)
endforeach()
