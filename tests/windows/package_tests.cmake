# The Windows installer and zip (make package-windows) made afresh from the
# built programs, installed silently into the build's wine prefix, then
# uninstalled, also while a program of the installation runs:
# package_install.sh. The desktop program registers the automation class as
# it starts, and the uninstaller takes that registration away.
set(tavex_package_programs tavexdl-cli.exe)
if(TARGET tavexdl)
  list(APPEND tavex_package_programs tavexdl.exe)
endif()
list(JOIN tavex_package_programs " " tavex_package_programs)
add_test(NAME WindowsPackage.install-and-uninstall COMMAND ${CMAKE_CURRENT_LIST_DIR}/package_install.sh)
set_tests_properties(WindowsPackage.install-and-uninstall PROPERTIES
  LABELS package
  TIMEOUT 300
  # tavexdl.exe runs here on the wine desktop the desktop tests drive, and
  # reads the reminder setting they change.
  RESOURCE_LOCK "automation_class;reminder-setting"
  ENVIRONMENT "TAVEX_CPACK=${CMAKE_CPACK_COMMAND};TAVEX_CPACK_CONFIG=${CMAKE_BINARY_DIR}/CPackConfig.cmake;TAVEX_PACKAGE_VERSION=${PROJECT_VERSION};TAVEX_PACKAGE_PROGRAMS=${tavex_package_programs};TAVEX_EXAMPLES=${PROJECT_SOURCE_DIR}/examples")
