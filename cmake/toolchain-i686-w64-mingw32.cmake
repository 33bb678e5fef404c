# Cross build for 32-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(QUILLAMOR_TRIPLET i686-w64-mingw32)
set(QUILLAMOR_WIDL_BITS -m32)
set(QUILLAMOR_WINE_ARCH i386-linux-gnu/wine/i386-windows)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
