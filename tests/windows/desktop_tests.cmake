# The desktop program tavexdl.exe: its registry setting, its name in
# message boxes and its dialog templates, tested in a program that carries
# the same resources.

add_executable(tavex_win32_desktop_tests
  ${CMAKE_CURRENT_LIST_DIR}/desktop/dialog_template.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop/dialog_templates_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop/reminder_registry_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop/program_name_test.cpp
  ${TAVEX_WIN32_RC})
target_include_directories(tavex_win32_desktop_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/desktop)
target_link_libraries(tavex_win32_desktop_tests PRIVATE tavex_win32_desktop tavex_win32_resources GTest::gtest_main)
gtest_discover_tests(tavex_win32_desktop_tests DISCOVERY_TIMEOUT 30 NO_PRETTY_VALUES
  PROPERTIES TIMEOUT 60 RESOURCE_LOCK reminder-setting)

# tavexdl.exe as a process on a virtual display, its windows worked by a
# driver program; the download goes to the Linux keyboard simulator on COM1.
add_library(tavex_win32_desktop_program STATIC ${CMAKE_CURRENT_LIST_DIR}/desktop/desktop_program.cpp)
target_link_libraries(tavex_win32_desktop_program PUBLIC tavex_win32_desktop tavex_win32_resources)
target_include_directories(tavex_win32_desktop_program PUBLIC ${CMAKE_CURRENT_LIST_DIR}/desktop)
add_executable(tavex_win32_desktop_driver ${CMAKE_CURRENT_LIST_DIR}/desktop/desktop_driver_test.cpp)
target_link_libraries(tavex_win32_desktop_driver PRIVATE tavex_win32_desktop_program GTest::gtest_main)
add_dependencies(tavex_win32_desktop_driver tavexdl tavexdl-cli)
set(tavex_desktop_cases start reminder-off)
if(TAVEX_HOST_KBSIM STREQUAL "")
  message(STATUS "TAVEX_HOST_KBSIM is empty: tavexdl.exe's downloads are not tested")
else()
  list(APPEND tavex_desktop_cases download-s19 enter-cancels silent-keyboard)
endif()
foreach(case IN LISTS tavex_desktop_cases)
  add_test(NAME WindowsDesktop.${case} COMMAND ${CMAKE_CURRENT_LIST_DIR}/desktop_cases.sh ${case})
  set_tests_properties(WindowsDesktop.${case} PROPERTIES
    TIMEOUT 180
    RESOURCE_LOCK "com1;reminder-setting"
    ENVIRONMENT "TAVEX_KBSIM=${TAVEX_HOST_KBSIM};TAVEX_DESKTOP_EXE_UNIX=$<TARGET_FILE:tavexdl>;TAVEX_DRIVER_EXE=$<TARGET_FILE:tavex_win32_desktop_driver>;TAVEX_CLI_EXE=$<TARGET_FILE:tavexdl-cli>;TAVEX_EXAMPLES=${PROJECT_SOURCE_DIR}/examples")
endforeach()

# The README's pictures of tavexdl.exe (scripts/windows-screenshots.sh).
add_executable(tavex_win32_screenshot_tour ${CMAKE_CURRENT_LIST_DIR}/desktop/screenshot_tour.cpp)
target_link_libraries(tavex_win32_screenshot_tour PRIVATE tavex_win32_desktop_program)
target_link_options(tavex_win32_screenshot_tour PRIVATE -municode)
add_dependencies(tavex_win32_screenshot_tour tavexdl)
