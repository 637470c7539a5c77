# The portable archive: `cmake --build <dir> --target package` (or cpack).
# Linux: a .tar.gz holding the program, its icon and desktop entry, and
# LIBRARIES.txt naming the shared libraries it needs from the system.
# Windows: a .zip with the Qt libraries, plugins and translations that
# windeployqt copies beside the program.

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)

if(WIN32 AND CMAKE_CROSSCOMPILING)
  # Built here with MinGW-w64: scripts/build-windows.sh gathers the DLLs,
  # plugins and translations into the ZIP itself (no windeployqt exists).
  set(CPACK_GENERATOR ZIP)
elseif(WIN32)
  # windeployqt sits beside qmake in every Qt for Windows; it copies the Qt
  # libraries, plugins, translations and compiler runtime beside the program.
  install(CODE "
    execute_process(COMMAND \"$<TARGET_FILE_DIR:Qt6::qmake>/windeployqt.exe\" --no-opengl-sw
                            \"\${CMAKE_INSTALL_PREFIX}/$<TARGET_FILE_NAME:lunora>\"
                    COMMAND_ERROR_IS_FATAL ANY)")
  set(CPACK_GENERATOR ZIP)
else()
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/lunora.desktop DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/assets/app_icon.png DESTINATION . RENAME lunora.png)
  install(CODE "
    execute_process(COMMAND \"${CMAKE_COMMAND}\"
                            \"-DPROGRAM=\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/$<TARGET_FILE_NAME:lunora>\"
                            \"-DOUTPUT=\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/LIBRARIES.txt\"
                            -P \"${PROJECT_SOURCE_DIR}/packaging/list-libraries.cmake\"
                    COMMAND_ERROR_IS_FATAL ANY)")
  set(CPACK_GENERATOR TGZ)
endif()

set(CPACK_PACKAGE_NAME "lunora")
set(CPACK_PACKAGE_VENDOR "Lunora")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Prize-wheel lottery for draws held in front of an audience")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" LUNORA_PACKAGE_SYSTEM)
set(CPACK_PACKAGE_FILE_NAME "lunora-${PROJECT_VERSION}-${LUNORA_PACKAGE_SYSTEM}")
# One top folder, so that unpacking makes a single runnable folder.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
