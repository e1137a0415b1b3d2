# Linux: Vorlisk as an installed desktop program (cmake --install, make install) and its
# Debian package (make package). The layout is the one the program looks in: bin/vorlisk, the
# mount helper in libexec/vorlisk/, the default table of known games in share/vorlisk/.

install(TARGETS vorlisk RUNTIME DESTINATION bin)
install(PROGRAMS tools/daemon DESTINATION libexec/vorlisk)
install(FILES sample/games.txt DESTINATION share/vorlisk)
install(FILES resources/desktop/org.example.vorlisk.desktop DESTINATION share/applications)
install(FILES resources/desktop/org.example.vorlisk.metainfo.xml DESTINATION share/metainfo)
install(FILES resources/desktop/vorlisk.svg DESTINATION share/icons/hicolor/scalable/apps)

# The icon drawn from its SVG at the sizes that menus, docks and software centres ask for.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(ICON_PICTURES)
foreach(size IN ITEMS 16 24 32 48 64 128 256)
    set(folder ${CMAKE_BINARY_DIR}/icons/${size}x${size})
    add_custom_command(OUTPUT ${folder}/vorlisk.png
        COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
        COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${folder}/vorlisk.png
                ${CMAKE_SOURCE_DIR}/resources/desktop/vorlisk.svg
        DEPENDS resources/desktop/vorlisk.svg VERBATIM)
    list(APPEND ICON_PICTURES ${folder}/vorlisk.png)
    install(FILES ${folder}/vorlisk.png DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()

# The installed tree passes the desktop's validators, and the installed program starts and ends.
add_test(NAME installed_program
         COMMAND bash ${CMAKE_SOURCE_DIR}/tools/check-installed.sh
                 ${CMAKE_BINARY_DIR}/test-install ${CMAKE_BINARY_DIR})
set_tests_properties(installed_program PROPERTIES TIMEOUT 120)

# `make package` builds only what is installed, not the tests first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorlisk)
set(CPACK_PACKAGE_VENDOR Vorlisk)
set(CPACK_PACKAGE_CONTACT "Vorlisk <vorlisk@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "catalogue of PlayStation games and their disc images, with a launcher")
set(CPACK_PACKAGE_DESCRIPTION
    "Vorlisk keeps one record per game: name, game ID, genre, description, disc\n\
image, two pictures and the emulator to play it with. Records are filled from\n\
the disc in a drive or from a folder of disc images; Play mounts the image\n\
with fuseiso and starts the game's emulator or the user's launch script.")
# A catalogue and launcher, not a game itself: its program lies in /usr/bin (the menu still
# lists it under Games).
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The package's program carries no symbol table.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries' packages (the Qt 6 widgets runtime, and zlib, liblzma, libFLAC and libzstd,
# which decode CHD files) are found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Play mounts images with fuseiso and brings windows forward with xdotool.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fuseiso, xdotool")
# The manual page, the licence in Debian's machine-readable form and the changelog, compressed
# as Debian's packages keep them. The package is made here, by the program's own developers,
# so it has no Debian revision and its changelog is the program's (changelog.gz).
set(DOCS ${CMAKE_BINARY_DIR}/doc)
configure_file(resources/man/vorlisk.1 ${DOCS}/vorlisk.1 @ONLY)
configure_file(resources/debian/changelog ${DOCS}/changelog @ONLY)
# The licence's text from LICENSE, its own title and copyright line left out, each line indented
# and each empty line a lone dot.
file(READ LICENSE licence)
string(REGEX REPLACE "^.*\n\n(Permission)" "\\1" licence "${licence}")
string(STRIP "${licence}" licence)
string(REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " licence " ${licence}")
file(WRITE ${DOCS}/copyright "\
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Vorlisk
Upstream-Contact: ${CPACK_PACKAGE_CONTACT}

Files: *
Copyright: 2026 The Vorlisk developers
License: Expat
${licence}
")
foreach(page IN ITEMS vorlisk.1 changelog)
    add_custom_command(OUTPUT ${DOCS}/${page}.gz
        COMMAND gzip -9nkf ${DOCS}/${page} DEPENDS ${DOCS}/${page} VERBATIM)
endforeach()
install(FILES ${DOCS}/vorlisk.1.gz DESTINATION share/man/man1)
# The README, which the credits of the window open.
install(FILES ${DOCS}/copyright ${DOCS}/changelog.gz README.md DESTINATION share/doc/vorlisk)

# Everything that is installed: `make install` and `make package` build this alone.
add_custom_target(installed_files ALL
    DEPENDS ${ICON_PICTURES} ${DOCS}/vorlisk.1.gz ${DOCS}/changelog.gz)
add_dependencies(installed_files vorlisk)

include(CPack)
