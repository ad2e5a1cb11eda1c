# Read by cpack once for each generator: the file each one makes, in the
# build directory.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME tavexdl-setup)
elseif(CPACK_GENERATOR STREQUAL "ZIP")
  set(CPACK_PACKAGE_FILE_NAME tavexdl-${CPACK_PACKAGE_VERSION}-win64)
endif()
