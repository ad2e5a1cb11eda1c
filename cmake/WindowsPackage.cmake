# What `cmake --install` lays out on Windows, and the installer and the zip
# CPack makes of it (`make package-windows`): tavexdl-setup.exe, which
# installs into Program Files\TavexDL with a Start-menu folder and an
# uninstaller, and tavexdl-<version>-win64.zip with the same programs.

# The programs sit at the top of the installation, as Windows programs do.
install(TARGETS tavexdl-cli RUNTIME DESTINATION .)
if(TARGET tavexdl)
  install(TARGETS tavexdl RUNTIME DESTINATION .)
endif()

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME TavexDL)
set(CPACK_PACKAGE_VENDOR "Norwick Inc.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tavex keyboard firmware upgrade utility")
set(CPACK_PACKAGE_INSTALL_DIRECTORY TavexDL)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY TavexDL)
set(CPACK_STRIP_FILES ON)
# Each generator names its file (tavexdl-setup.exe, tavexdl-VERSION-win64.zip).
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/WindowsPackageNames.cmake)

# The installer. It is a 64-bit, Unicode program like the ones it installs
# (makensis makes a 32-bit ANSI one unless told): it sees the 64-bit
# registry and Program Files, and refuses a 32-bit Windows, which could not
# run the programs. Without a licence of the project's own there is no
# licence page, rather than CPack's placeholder text.
set(TAVEX_WINDOWS_ICON ${PROJECT_SOURCE_DIR}/resources/win32/tavexdl.ico)
set(CPACK_NSIS_PACKAGE_NAME TavexDL)
set(CPACK_NSIS_DISPLAY_NAME TavexDL)
# What the installer and the uninstaller do beyond CPack's script is in
# WindowsPackage.nsh.
set(CPACK_NSIS_DEFINES "Target amd64-unicode\n  !include \"${CMAKE_CURRENT_LIST_DIR}/WindowsPackage.nsh\"")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_MUI_ICON ${TAVEX_WINDOWS_ICON})
set(CPACK_NSIS_MUI_UNIICON ${TAVEX_WINDOWS_ICON})
set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)
# The installer first uninstalls the version installed before, and neither
# replaces nor removes a program of the installation while it runs: it asks
# for it to be closed, and a silent run ends with exit code 2 instead. The
# uninstaller also takes away the automation class registration tavexdl.exe
# makes for itself (an update keeps it). All of it is in WindowsPackage.nsh,
# run before any file is written or removed.
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS "Call TavexReplaceInstalledVersion")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "Call TavexRestoreClassRegistration")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS [=[
  Push $INSTDIR
  Call un.TavexRequireProgramsClosed
  Call un.TavexRemoveClassRegistration
]=])
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)

# The Start menu: TavexDL is the desktop program. The command-line program
# shows its usage and ends when started alone, so its entry is a command
# prompt in the installation folder that shows the usage first.
if(TARGET tavexdl)
  set(CPACK_PACKAGE_EXECUTABLES tavexdl TavexDL)
  set(CPACK_NSIS_INSTALLED_ICON_NAME tavexdl.exe)
else()
  set(CPACK_NSIS_INSTALLED_ICON_NAME tavexdl-cli.exe)
endif()
set(CPACK_NSIS_CREATE_ICONS_EXTRA [=[
  SetOutPath "$INSTDIR"
  CreateShortCut "$SMPROGRAMS\$STARTMENU_FOLDER\TavexDL Command Prompt.lnk" "$SYSDIR\cmd.exe" "/k tavexdl-cli.exe --help" "$INSTDIR\tavexdl-cli.exe" 0
]=])
# The uninstaller removes the program's key under Software\Norwick Inc.
# before it comes to the Start menu; the vendor's key goes too once nothing
# else is in it.
set(CPACK_NSIS_DELETE_ICONS_EXTRA [=[
  Delete "$SMPROGRAMS\$MUI_TEMP\TavexDL Command Prompt.lnk"
  DeleteRegKey /ifempty SHCTX "Software\Norwick Inc."
]=])

include(CPack)
