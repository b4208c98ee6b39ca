# What the Windows cross builds share, included by toolchain-<target>.cmake after it has
# set QV_MINGW_PREFIX and CMAKE_SYSTEM_PROCESSOR: Debian's mingw-w64 toolchain in its posix
# thread flavour (for std::thread), with the C, C++ and thread run-times linked
# statically, so the DLL and the test programs need only the system's own libraries.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${QV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QV_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QV_MINGW_PREFIX})
# The libraries built for a tree (cmake/WindowsLibraries.cmake) are found there too,
# also by the builds of the libraries that need them.
if(QV_LIBRARY_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH ${QV_LIBRARY_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# M_PI and its kin, which glibc declares for C++ anyway, on request only here.
set(CMAKE_C_FLAGS_INIT "-D_USE_MATH_DEFINES")
set(CMAKE_CXX_FLAGS_INIT "-D_USE_MATH_DEFINES")
