# Run by `cmake --install` with zorv_program, zorv_caption, zorv_bindir and zorv_datadir set.
set(dir "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${zorv_datadir}/applications")
set(entry "${dir}/zorv900-${zorv_program}.desktop")
message(STATUS "Installing: ${entry}")
file(MAKE_DIRECTORY "${dir}")
file(WRITE "${entry}"
  "[Desktop Entry]\n"
  "Type=Application\n"
  "Name=${zorv_caption}\n"
  "Exec=${CMAKE_INSTALL_PREFIX}/${zorv_bindir}/${zorv_program}\n"
  "Icon=zorv900\n"
  "Terminal=false\n"
  "Categories=Office;\n")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${entry}")
