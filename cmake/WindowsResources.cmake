# The icon and the version block every TavexDL program for Windows carries,
# made from resources/win32/program.rc.in:
#   tavex_windows_resources(TARGET "File description" [OWN_ICON])
# OWN_ICON: the program's own resource script defines the icon, so the
# template leaves it out (two icon groups would clash over the icon images'
# numbers and carry every image twice).
# The version is the project's (FILEVERSION major,minor,patch,tweak).

set(TAVEX_RC_ICON ${PROJECT_SOURCE_DIR}/resources/win32/tavexdl.ico)
set(tavex_rc_tweak 0)
if(NOT "${PROJECT_VERSION_TWEAK}" STREQUAL "")
  set(tavex_rc_tweak ${PROJECT_VERSION_TWEAK})
endif()
set(TAVEX_RC_VERSION_COMMAS
  "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},${tavex_rc_tweak}")

function(tavex_windows_resources target description)
  set(TAVEX_RC_ICON_LINE "1 ICON \"${TAVEX_RC_ICON}\"")
  if("OWN_ICON" IN_LIST ARGN)
    set(TAVEX_RC_ICON_LINE "// The program's own resource script holds its icon.")
  endif()
  get_target_property(TAVEX_RC_NAME ${target} OUTPUT_NAME)
  if(NOT TAVEX_RC_NAME)
    set(TAVEX_RC_NAME ${target})
  endif()
  set(TAVEX_RC_DESCRIPTION "${description}")
  set(rc_file ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/resources/win32/program.rc.in ${rc_file} @ONLY)
  target_sources(${target} PRIVATE ${rc_file})
  # windres reads the icon when it compiles: a new icon must rebuild it.
  set_property(SOURCE ${rc_file} APPEND PROPERTY OBJECT_DEPENDS ${TAVEX_RC_ICON})
endfunction()
