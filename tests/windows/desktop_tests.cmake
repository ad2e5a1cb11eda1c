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
