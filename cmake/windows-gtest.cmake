# GoogleTest for the Windows test programs, compiled by the cross compiler from Debian's
# googletest sources (the native build links the distribution's own libraries instead, which
# are Linux objects). Only the framework is built: every program has a main of its own, for
# COM's initialisation and its command line.
include_guard(GLOBAL)

set(QUILLAMOR_GTEST_SOURCE /usr/src/googletest/googletest CACHE PATH "GoogleTest's sources for the Windows build")
if(NOT EXISTS ${QUILLAMOR_GTEST_SOURCE}/src/gtest-all.cc)
  message(FATAL_ERROR "GoogleTest's sources are not at ${QUILLAMOR_GTEST_SOURCE}: install the googletest package")
endif()

add_library(quillamor_gtest STATIC ${QUILLAMOR_GTEST_SOURCE}/src/gtest-all.cc)
target_include_directories(quillamor_gtest PRIVATE ${QUILLAMOR_GTEST_SOURCE})
target_include_directories(quillamor_gtest SYSTEM PUBLIC ${QUILLAMOR_GTEST_SOURCE}/include)
# The toolchain is mingw-w64's posix-threads variant, whose winpthreads would otherwise be
# open to gtest: its Windows threads and mutexes are the ones meant for this platform.
target_compile_definitions(quillamor_gtest PUBLIC GTEST_HAS_PTHREAD=0)
# The framework's own code is not held to the project's warnings.
target_compile_options(quillamor_gtest PRIVATE -w)
# Nor optimised: the programs' time is the add-in's and Wine's, not the framework's.
target_compile_options(quillamor_gtest PRIVATE -O0)
