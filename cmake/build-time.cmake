# What keeps the five builds of scripts/test (native, sanitizers, fuzz, 32- and 64-bit Windows)
# short. Measured per file, most of their time went to two things: parsing the JSON library,
# GoogleTest and the standard headers again in every source, and optimising the tests' own
# code, GoogleTest's macros and the JSON templates they instantiate.
include_guard(GLOBAL)

# quillamor_common_headers(<target> [<header>...]): the headers most of the target's sources
# read, parsed once for the target (a precompiled header) rather than once per source.
function(quillamor_common_headers target)
  target_precompile_headers(${target} PRIVATE <string> <vector> <map> <memory> <functional> ${ARGN})
endfunction()

# quillamor_test_program(<target>): a test program. It drives the libraries as they are built
# (optimised in the release trees); its own code is compiled without optimisation, which was
# two thirds of the time of each test source, and it reads GoogleTest once.
function(quillamor_test_program target)
  target_compile_options(${target} PRIVATE -O0)
  quillamor_common_headers(${target} <gtest/gtest.h> ${ARGN})
endfunction()
