# Cross build for 64-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(QUILLAMOR_TRIPLET x86_64-w64-mingw32)
set(QUILLAMOR_WIDL_BITS -m64)
set(QUILLAMOR_WINE_ARCH x86_64-linux-gnu/wine/x86_64-windows)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
