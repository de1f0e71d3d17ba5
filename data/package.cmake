# The installation for every user, as the Debian package holds it (scripts/package builds
# the package with CPack): the program in bin, its desktop entry, icon and manual page,
# and the copyright and changelog in its documentation folder. Each user's data goes to
# their own $XDG_DATA_HOME/parupo, never beside the program.
include(GNUInstallDirs)

# Folders and files as a package has them, whatever the umask of the one who builds it.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS parupo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped program (CPACK_STRIP_FILES) also loses the compiler's notes, as Debian's own do.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/parupo\"
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()")

# The menu entry starts the installed program and shows the theme's icon by its name.
set(PARUPO_EXEC "${CMAKE_INSTALL_FULL_BINDIR}/parupo")
set(PARUPO_ICON parupo)
configure_file(${CMAKE_CURRENT_LIST_DIR}/parupo.desktop.in parupo.desktop @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/parupo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/parupo.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The newest changelog entry and the manual page's title name the version being packaged.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^parupo \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "data/changelog: the newest entry is not version ${PROJECT_VERSION}: ${newest}")
endif()
foreach(page parupo.1 parupo.ja.1)
  file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/${page} title REGEX "^\\.TH " LIMIT_COUNT 1)
  if(NOT title MATCHES " \"parupo ${PROJECT_VERSION}\" ")
    message(FATAL_ERROR "data/${page}: the title does not name version ${PROJECT_VERSION}: ${title}")
  endif()
endforeach()

# The manual page and the changelog go compressed, without a name or time stamp in them,
# so that the same sources give the same package.
set(compressed)
foreach(file parupo.1 parupo.ja.1 changelog)
  set(copy ${CMAKE_CURRENT_BINARY_DIR}/package/${file})
  add_custom_command(OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/${file} ${copy}
    COMMAND gzip -9nf ${copy}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/${file} VERBATIM)
  list(APPEND compressed ${copy}.gz)
endforeach()
add_custom_target(parupo_package_docs ALL DEPENDS ${compressed})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/package/parupo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The Japanese page, which `man parupo` shows under a Japanese locale.
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/package/parupo.ja.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/ja/man1
        RENAME parupo.1.gz)
# The package is its own upstream: its changelog is changelog.gz.
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/package/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME parupo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(PARUPO_MAINTAINER "ぱるぽ developers <parupo@example.org>" CACHE STRING "The package's maintainer")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${PARUPO_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small mail sender with a Japanese user interface")
set(CPACK_PACKAGE_DESCRIPTION [[
ぱるぽ sends short mails through your SMTP server: you type a recipient,
a subject and a message and send it, optionally with one attached file and
a copy to your own address.

It keeps a history of the last ten recipients, a log of every message sent
with a viewer for the logs, and an address book from which it can also
send its entries' data. It can log in to a POP server before a send.

Its files are plain text in the Windows Japanese encoding (CP932), in each
user's ~/.local/share/parupo, so the data files of the earlier Windows
program can be copied there and used as they are.]])
# The shared libraries it links; besides them, what it loads at run time: libcurl
# (opened when the first mail goes out; CURLOPT_PROTOCOLS_STR is from 7.85), the IPA
# Gothic font of its text boxes, and Qt's Japanese words for its buttons and dialogs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4 (>= 7.85.0), fonts-ipafont-gothic, qt6-translations-l10n")
# Japanese input through fcitx5 (the ibus plugin comes with Qt's own libqt6gui6).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fcitx5-frontend-qt6")
set(CPACK_STRIP_FILES ON)
include(CPack)
