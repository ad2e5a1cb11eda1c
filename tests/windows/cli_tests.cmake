# tavexdl-cli.exe as a process under wine, downloading to the Linux keyboard
# simulator through wine's COM1 and COM2. The cases share the ports, so they
# run one at a time.
set(tavex_cli_cases
  good-s19
  good-s20-traced-and-logged
  retry-at-57600
  silent-keyboard
  checksum-error
  two-keyboards
  ctrl-c-cancels
  station-loop
  same-port-twice
  log-never-on-image-or-port
  missing-port-named
  names-beyond-ascii
  ports-and-version
  device-never-came)
foreach(case IN LISTS tavex_cli_cases)
  add_test(NAME WindowsCli.${case} COMMAND ${CMAKE_CURRENT_LIST_DIR}/cli_cases.sh ${case})
  set_tests_properties(WindowsCli.${case} PROPERTIES
    TIMEOUT 90
    RESOURCE_LOCK "com1;com2"
    ENVIRONMENT "TAVEX_KBSIM=${TAVEX_HOST_KBSIM};TAVEX_CLI_EXE=$<TARGET_FILE:tavexdl-cli>;TAVEX_EXAMPLES=${PROJECT_SOURCE_DIR}/examples;TAVEX_FLASH_LISTINGS=${PROJECT_SOURCE_DIR}/tests/data/flash;TAVEX_BUILD_VERSION=${PROJECT_VERSION}")
endforeach()
