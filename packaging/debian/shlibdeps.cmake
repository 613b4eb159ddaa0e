# Read by cpack when it makes the package (CPACK_PROJECT_CONFIG_FILE): the
# Depends of the libraries the two programs link, as dpkg-shlibdeps finds
# them. CPack's own CPACK_DEBIAN_PACKAGE_SHLIBDEPS would find the same but
# runs `file` on each of the skins' 200-odd pictures to tell the binaries
# first; here the binaries are known.
if(CPACK_GENERATOR STREQUAL "DEB")
  # dpkg-shlibdeps wants the source package's control file, of which a
  # package name and architecture are enough.
  set(work "${CPACK_KOVRAL_SHLIBDEPS_DIR}")
  file(MAKE_DIRECTORY "${work}/debian")
  file(WRITE "${work}/debian/control" "Source: kovral\n\nPackage: kovral\nArchitecture: any\n")
  execute_process(COMMAND dpkg-shlibdeps -O ${CPACK_KOVRAL_BINARIES}
    WORKING_DIRECTORY "${work}" OUTPUT_VARIABLE found ERROR_VARIABLE errors RESULT_VARIABLE failed)
  if(failed OR NOT found MATCHES "^shlibs:Depends=([^\n]+)")
    message(FATAL_ERROR "dpkg-shlibdeps did not give the package's Depends: ${errors}")
  endif()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CPACK_DEBIAN_PACKAGE_DEPENDS}, ${CMAKE_MATCH_1}")
endif()
