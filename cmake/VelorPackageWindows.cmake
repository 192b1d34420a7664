# The Windows installer of everything installed: `make package-windows` (or
# cpack -G NSIS in the Windows build folder) writes velor-VERSION-win64.exe.
# It installs the programs with OrbelleDef.ini beside them, the text library
# (DLL, import library, headers, CMake package), the documents, a Start-menu
# folder, and an uninstaller that the Windows "Apps" list knows.
# Included by VelorInstall.cmake before CPack itself.
set(CPACK_GENERATOR NSIS)
unset(CPACK_PACKAGING_INSTALL_PREFIX)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Velor")
set(CPACK_PACKAGE_FILE_NAME "velor-${PROJECT_VERSION}-win64")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# A 64-bit installer, as the programs are: it needs no 32-bit Windows layer,
# and it writes the 64-bit view of the registry.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
# The name also names the Start-menu folder.
set(CPACK_NSIS_PACKAGE_NAME "Velor")
set(CPACK_NSIS_DISPLAY_NAME "Velor ${PROJECT_VERSION}")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The folder of the programs is not put on PATH: NSIS's string length would
# cut a long PATH when it writes it back.
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Velor")
# The Start-menu folder: the condition dialog, the README (in Notepad) and
# the uninstaller. velor.exe is a console program; from the menu it opens the
# dialog whatever the console shows. Notepad takes the whole rest of its
# command line as the file name, spaces and all, so the README's path needs
# no quotes (which the package configuration could not carry).
set(CPACK_NSIS_CREATE_ICONS_EXTRA
    "CreateShortCut '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\velor.lnk' '$INSTDIR\\\\bin\\\\velor.exe' '--ui desktop' '$INSTDIR\\\\bin\\\\velor.exe' 0
     CreateShortCut '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\README.lnk' '$WINDIR\\\\notepad.exe' '$INSTDIR\\\\share\\\\doc\\\\velor\\\\README.md'")
set(CPACK_NSIS_DELETE_ICONS_EXTRA
    "Delete '$SMPROGRAMS\\\\$MUI_TEMP\\\\velor.lnk'
     Delete '$SMPROGRAMS\\\\$MUI_TEMP\\\\README.lnk'")

# The installer, installed silently under wine into a scratch prefix, runs.
if(VELOR_TESTS)
  add_test(NAME install_windows_package
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/test-package-windows.sh ${PROJECT_BINARY_DIR})
  set_tests_properties(install_windows_package PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600 RUN_SERIAL TRUE)
endif()
