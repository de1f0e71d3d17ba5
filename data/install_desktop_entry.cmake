# Runs at install time: writes the desktop entry with the paths of this installation, so
# that it starts the program in its own folder and shows its icon wherever that folder is.
set(folder "${CMAKE_INSTALL_PREFIX}")
# Exec takes the path as a quoted argument: inside it " ` and $ are escaped with a
# backslash, which the file's own string escaping doubles; "%" is doubled.
string(REGEX REPLACE "([\"`$])" "\\\\\\\\\\1" program "${folder}/parupo")
string(REPLACE "%" "%%" program "${program}")
set(PARUPO_EXEC "\"${program}\"")
set(PARUPO_ICON "${folder}/share/icons/hicolor/scalable/apps/parupo.svg")
set(entry "$ENV{DESTDIR}${folder}/share/applications/parupo.desktop")
message(STATUS "Installing: ${entry}")
configure_file("${CMAKE_CURRENT_LIST_DIR}/parupo.desktop.in" "${entry}" @ONLY)
