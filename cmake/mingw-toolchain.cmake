# Shared part of the cross builds for Windows with mingw-w64 (posix threads). The toolchain
# file of each architecture sets QUILLAMOR_TRIPLET, CMAKE_SYSTEM_PROCESSOR and
# QUILLAMOR_WINE_ARCH (Wine's folder of Windows libraries for that architecture) first.
# Everything is linked statically so that Quillamor.dll and the test programs import system
# DLLs only.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${QUILLAMOR_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLAMOR_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLAMOR_TRIPLET}-windres)

# The type library compiler and what it needs: the system IDL files and stdole2.tlb of the
# matching architecture.
set(QUILLAMOR_WIDL ${QUILLAMOR_TRIPLET}-widl)
set(QUILLAMOR_WIDL_FLAGS ${QUILLAMOR_WIDL_BITS} -I/usr/include/wine/wine/windows -L/usr/lib/${QUILLAMOR_WINE_ARCH})

set(CMAKE_FIND_ROOT_PATH /usr/${QUILLAMOR_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Plain -static: -static-libgcc -static-libstdc++ alone still import libwinpthread-1.dll.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -static)
