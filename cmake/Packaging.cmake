# The portable archive: `cmake --build <dir> --target package` (or cpack).
# Linux: a .tar.gz holding the program, its icon and desktop entry, and
# LIBRARIES.txt naming the shared libraries it needs from the system.
# With -DLUNORA_DEB=ON (Linux): a .deb installing into /usr, dependencies
# from dpkg-shlibdeps, with a desktop entry and icons.
# Windows: a .zip with the Qt libraries, plugins and translations that
# windeployqt copies beside the program.

# The independent checker of the draw history goes with the README: anyone
# may read it and run it with Python alone.
if(LUNORA_DEB)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/tools/verify_history.py
          DESTINATION share/doc/lunora)
else()
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/tools/verify_history.py DESTINATION .)
endif()

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
elseif(LUNORA_DEB)
  # Installed system-wide: the program cannot write beside itself in
  # /usr/bin, so it keeps its data in a per-user folder (see main.cpp).
  include(GNUInstallDirs)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/lunora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/assets/app_icon_48.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps RENAME lunora.png)
  install(FILES ${PROJECT_SOURCE_DIR}/assets/app_icon.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps RENAME lunora.png)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # Loaded at run time, so dpkg-shlibdeps cannot see them: MP3 through
  # GStreamer, Chinese texts on Qt's own dialog buttons, and a face that
  # has the Chinese characters of the titles.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "gstreamer1.0-plugins-good")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-noto-cjk")
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Lunora developers <lunora@localhost>")
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

# The operator's guide in Chinese, beside the program (in the .deb with the
# documentation). UTF-8 with a byte order mark and CRLF, as Notepad wants it.
if(LUNORA_DEB)
  install(FILES "${PROJECT_SOURCE_DIR}/docs/使用说明.txt" DESTINATION share/doc/lunora)
else()
  install(FILES "${PROJECT_SOURCE_DIR}/docs/使用说明.txt" DESTINATION .)
endif()

set(CPACK_PACKAGE_NAME "lunora")
set(CPACK_PACKAGE_VENDOR "Lunora")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Prize-wheel lottery for draws held in front of an audience")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" LUNORA_PACKAGE_SYSTEM)
set(CPACK_PACKAGE_FILE_NAME "lunora-${PROJECT_VERSION}-${LUNORA_PACKAGE_SYSTEM}")
# One top folder, so that unpacking makes a single runnable folder.
if(NOT LUNORA_DEB)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()
set(CPACK_STRIP_FILES ON)
include(CPack)
