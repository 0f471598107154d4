# `cmake --install`: the five programs and the reader emulator together in one bin folder
# (they start one another by name, looking next to themselves first), a desktop entry for
# each program named by its window's caption, and their icon. Nothing else is installed.
include(GNUInstallDirs)

set(ZORV_INSTALLED_PROGRAMS database Zorv900V3 controllo Plovek movimenti zorv900-emulator)
install(TARGETS ${ZORV_INSTALLED_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${PROJECT_SOURCE_DIR}/desktop/zorv900.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# zorv_desktop_entry(<program> <caption>): written at install time, so that the entry
# starts the program where `--prefix` put it.
function(zorv_desktop_entry program caption)
  install(CODE "set(zorv_program \"${program}\")
set(zorv_caption \"${caption}\")
set(zorv_bindir \"${CMAKE_INSTALL_BINDIR}\")
set(zorv_datadir \"${CMAKE_INSTALL_DATADIR}\")")
  install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/InstallDesktopEntry.cmake)
endfunction()

zorv_desktop_entry(database "DATA BASE CLI  V. 2.0")
zorv_desktop_entry(Zorv900V3 "Zorv 900 Demo")
zorv_desktop_entry(controllo "Zorv900 Controllo Accessi")
zorv_desktop_entry(Plovek "Zandorex RF Wedge")
zorv_desktop_entry(movimenti "Movimenti")
