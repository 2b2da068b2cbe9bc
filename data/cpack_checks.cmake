# Read by cpack for each generator: a Debian package is made only from a hardened build.
if(CPACK_GENERATOR STREQUAL "DEB" AND NOT CPACK_LSV_HARDENED)
  message(FATAL_ERROR "cpack: this build has no hardening flags (dpkg-buildflags was not "
                      "found, or LSV_HARDEN is off); install dpkg-dev and configure again")
endif()
