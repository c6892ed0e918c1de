# What the build looks for on the system, each with the Debian package that
# brings it, so that a configure step on a machine that lacks one ends on one
# line naming the package (scripts/build.sh prints that line alone) instead of
# CMake's own account of where it looked.

function(tht_missing what debian_package)
  message(FATAL_ERROR "The build needs ${what}: install the Debian package "
                      "${debian_package} (scripts/setup.sh installs every package the build needs)")
endfunction()

# tht_require_program(VAR NAME DEBIAN_PACKAGE): the full path of program NAME in VAR.
function(tht_require_program var name debian_package)
  find_program(${var} ${name})
  if(NOT ${var})
    tht_missing("the program ${name}" ${debian_package})
  endif()
endfunction()

# tht_require_package(PACKAGE DEBIAN_PACKAGE [find_package arguments...]):
# find_package(PACKAGE ...) made quiet, with the one-line message when it fails.
macro(tht_require_package package debian_package)
  find_package(${package} ${ARGN} QUIET)
  if(NOT ${package}_FOUND)
    tht_missing(${package} ${debian_package})
  endif()
endmacro()
