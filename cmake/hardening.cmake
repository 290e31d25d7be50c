# hardening.cmake -- the protections a released program is expected to carry, on in Release builds
# Only the Release configuration: the test and sanitizer builds keep their own
# flags, and fortify needs the optimiser anyway. -DQUORVANE_HARDENING=OFF drops them.
option(QUORVANE_HARDENING "Harden Release builds: fortify, stack protector, full RELRO, PIE" ON)
if(QUORVANE_HARDENING)
  set(release $<CONFIG:Release>)
  add_compile_options($<${release}:-U_FORTIFY_SOURCE> $<${release}:-D_FORTIFY_SOURCE=2>
                      $<${release}:-fstack-protector-strong> $<${release}:-fPIE>)
  add_link_options($<${release}:-pie> $<${release}:-Wl,-z,relro> $<${release}:-Wl,-z,now>)
  unset(release)
endif()
