# hardening.cmake -- the protections a released program is expected to carry, on in Release builds
# Only the Release configuration: the test and sanitizer builds keep their own
# flags, and fortify needs the optimiser anyway. -DQUORVANE_HARDENING=OFF drops them.
# A packager's own flags come first and are never lowered: CMake takes CXXFLAGS
# and LDFLAGS from the environment at the first configure, and CPPFLAGS
# (dpkg-buildflags puts _FORTIFY_SOURCE there), which CMake leaves alone, the
# same way here. The game has no C code, so CFLAGS has nothing to reach.
set(QUORVANE_CPPFLAGS "$ENV{CPPFLAGS}" CACHE STRING "Preprocessor flags, from CPPFLAGS at the first configure")
separate_arguments(cppflags UNIX_COMMAND "${QUORVANE_CPPFLAGS}")
add_compile_options(${cppflags})
unset(cppflags)

option(QUORVANE_HARDENING "Harden Release builds: fortify, stack protector, full RELRO, PIE" ON)
if(QUORVANE_HARDENING)
  # Fortify at level 2 only where nothing chose a level yet: the compiler's
  # defaults (some distributions turn it on), CXXFLAGS, CPPFLAGS, the cache.
  include(CheckCXXSourceCompiles)
  set(CMAKE_REQUIRED_FLAGS "${CMAKE_CXX_FLAGS_RELEASE} ${QUORVANE_CPPFLAGS}")
  set(CMAKE_REQUIRED_QUIET ON)
  unset(QUORVANE_FORTIFY_CHOSEN CACHE)  # the flags may have changed since the last configure
  check_cxx_source_compiles("#ifndef _FORTIFY_SOURCE\n#error none\n#endif\nint main() { return 0; }"
                            QUORVANE_FORTIFY_CHOSEN)
  unset(CMAKE_REQUIRED_FLAGS)
  unset(CMAKE_REQUIRED_QUIET)

  set(release $<CONFIG:Release>)
  if(NOT QUORVANE_FORTIFY_CHOSEN)
    add_compile_options($<${release}:-D_FORTIFY_SOURCE=2>)
  endif()
  add_compile_options($<${release}:-fstack-protector-strong> $<${release}:-fPIE>)
  add_link_options($<${release}:-pie> $<${release}:-Wl,-z,relro> $<${release}:-Wl,-z,now>)
  unset(release)
endif()
