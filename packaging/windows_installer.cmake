# The Windows packages: a 64-bit installer (NSIS, Debian package nsis) and a plain zip, each
# with parlocon.exe and parlowin.exe in bin\ and the README and the example under
# share\doc\parlowen, where the window looks for its documentation.
#   cd build/mingw && cpack            # parlowen-<version>-win64.exe and .zip
set(CPACK_GENERATOR "NSIS64;ZIP")
set(CPACK_PACKAGING_INSTALL_PREFIX "")
set(CPACK_PACKAGE_NAME Parlowen)
set(CPACK_PACKAGE_VENDOR Parlowen)
set(CPACK_PACKAGE_FILE_NAME "parlowen-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Parlowen)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Parlowen)
# The Start menu's entry for the window.
set(CPACK_PACKAGE_EXECUTABLES parlowin Parlowen)
# A 64-bit installer: also where no 32-bit programs run (a 64-bit-only Wine, Windows on a
# server without its 32-bit layer).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_DISPLAY_NAME Parlowen)
set(CPACK_NSIS_PACKAGE_NAME Parlowen)
set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\parlowin.exe")
set(icon "${PROJECT_SOURCE_DIR}/wingui/parlowin.ico")
file(TO_NATIVE_PATH "${icon}" icon)
string(REPLACE "/" "\\\\" icon "${icon}")
set(CPACK_NSIS_MUI_ICON "${icon}")
set(CPACK_NSIS_MUI_UNIICON "${icon}")

# Settings files open in the window: Explorer hands the file's name to parlowin.exe.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
  WriteRegStr HKCR '.bfs' '' 'Parlowen.SyncFile'
  WriteRegStr HKCR 'Parlowen.SyncFile' '' 'Parlowen settings file'
  WriteRegStr HKCR 'Parlowen.SyncFile\\\\DefaultIcon' '' '$INSTDIR\\\\bin\\\\parlowin.exe,0'
  WriteRegStr HKCR 'Parlowen.SyncFile\\\\shell\\\\open\\\\command' '' '\\\"$INSTDIR\\\\bin\\\\parlowin.exe\\\" \\\"%1\\\"'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
")
# The extension is left to whatever took it over since.
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
  ReadRegStr $0 HKCR '.bfs' ''
  StrCmp $0 'Parlowen.SyncFile' 0 +2
  DeleteRegKey HKCR '.bfs'
  DeleteRegKey HKCR 'Parlowen.SyncFile'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
")
