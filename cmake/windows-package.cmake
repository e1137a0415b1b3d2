# Windows: `make windows-package` makes the two downloads of Vorlisk.exe in the build folder, a
# portable zip (Vorlisk.exe with games.txt, portable.txt and README.txt, so that it keeps its
# files beside itself) and an installer made with NSIS (Program Files, a Start-menu entry and
# an uninstaller; the user's files stay in %APPDATA%\Vorlisk\). Both are part of the whole
# build, whose tests try the installer.
set(PACKAGE_NAME Vorlisk-${PROJECT_VERSION})
set(PORTABLE ${CMAKE_BINARY_DIR}/portable/${PACKAGE_NAME})
configure_file(resources/windows/README.txt ${CMAKE_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
# The installed copy's README.txt tells of the installed program, not of the portable one.
configure_file(resources/windows/INSTALLED.txt ${CMAKE_BINARY_DIR}/installed/README.txt @ONLY
               NEWLINE_STYLE CRLF)
find_program(MAKENSIS makensis)

add_custom_target(windows-package ALL
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/portable
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PORTABLE}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:vorlisk> ${PORTABLE}/Vorlisk.exe
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/sample/games.txt ${PORTABLE}/games.txt
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/README.txt ${PORTABLE}/README.txt
    COMMAND ${CMAKE_COMMAND} -E touch ${PORTABLE}/portable.txt
    COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/portable
            ${CMAKE_COMMAND} -E tar cf ${CMAKE_BINARY_DIR}/${PACKAGE_NAME}-portable.zip
            --format=zip ${PACKAGE_NAME}
    COMMAND ${MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DPROGRAM=$<TARGET_FILE:vorlisk>
            -DGAMES=${CMAKE_SOURCE_DIR}/sample/games.txt -DREADME=${CMAKE_BINARY_DIR}/installed/README.txt
            -DICON=${CMAKE_SOURCE_DIR}/resources/vorlisk.ico
            -DOUTFILE=${CMAKE_BINARY_DIR}/${PACKAGE_NAME}-setup.exe
            ${CMAKE_SOURCE_DIR}/resources/windows/vorlisk.nsi
    DEPENDS vorlisk
    COMMENT "Making ${PACKAGE_NAME}-portable.zip and ${PACKAGE_NAME}-setup.exe"
    VERBATIM)
