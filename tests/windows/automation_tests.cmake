# The automation server of the desktop program: its object, class factory
# and registry entries in the test's own process, and a client reaching a
# stand-in server (tavex_automation_test_server.exe, beside the tests) through
# COM in a process of its own; and a client of tavexdl.exe itself.

add_executable(tavex_automation_test_server WIN32 ${CMAKE_CURRENT_LIST_DIR}/automation_test_server.cpp)
target_link_libraries(tavex_automation_test_server PRIVATE tavex_win32_automation shell32)

add_executable(tavex_automation_tests
  ${CMAKE_CURRENT_LIST_DIR}/automation_support.cpp
  ${CMAKE_CURRENT_LIST_DIR}/automation_object_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/automation_close_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/automation_registry_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/automation_client_test.cpp)
target_link_libraries(tavex_automation_tests PRIVATE tavex_win32_automation GTest::gtest_main)
add_dependencies(tavex_automation_tests tavex_automation_test_server)
# The class's registration under the user's and the machine's classes is
# one for the whole wine prefix: the tests that write it run one at a time.
gtest_discover_tests(tavex_automation_tests DISCOVERY_TIMEOUT 30 NO_PRETTY_VALUES
  PROPERTIES TIMEOUT 90 RESOURCE_LOCK automation_class)

# A client of the desktop program tavexdl.exe itself, which COM starts as the
# class's server: on a wine desktop with a display, as its windows need one.
# It writes the class's registration and the reminder's setting.
add_executable(tavex_automation_desktop_tests
  ${CMAKE_CURRENT_LIST_DIR}/automation_support.cpp
  ${CMAKE_CURRENT_LIST_DIR}/automation_desktop_test.cpp)
target_link_libraries(tavex_automation_desktop_tests PRIVATE tavex_win32_desktop_program GTest::gtest_main)
add_dependencies(tavex_automation_desktop_tests tavexdl)
foreach(case IN ITEMS ReleasingTheObjectEndsTheProgramAutomationStarted ReleasingTheObjectLeavesTheProgramTheUserStarted)
  add_test(NAME AutomationDesktop.${case}
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/wine_desktop.sh $<TARGET_FILE:tavex_automation_desktop_tests>
      --gtest_filter=AutomationDesktop.${case})
  set_tests_properties(AutomationDesktop.${case} PROPERTIES
    TIMEOUT 120
    RESOURCE_LOCK "automation_class;reminder-setting"
    ENVIRONMENT "TAVEX_DESKTOP_EXE_UNIX=$<TARGET_FILE:tavexdl>")
endforeach()
