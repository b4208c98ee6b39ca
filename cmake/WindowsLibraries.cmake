# Libraries of the Windows build that Debian does not ship for mingw-w64, built from
# Debian's source packages once per build tree (tools/build-windows-library.sh) and then
# found like installed packages: find_package(PNG) gives PNG::PNG here too, and
# pkg-config finds sndfile. They get our own arithmetic flags.
function(qv_windows_library package dir)
  list(JOIN QV_ARITHMETIC_FLAGS " " c_flags)
  execute_process(
    COMMAND bash ${PROJECT_SOURCE_DIR}/tools/build-windows-library.sh ${package} ${dir}
            ${CMAKE_TOOLCHAIN_FILE} "-DCMAKE_C_FLAGS=${c_flags}" ${ARGN}
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "building ${package} for Windows failed; logs in ${dir}")
  endif()
endfunction()

# zlib comes from libz-mingw-w64-dev.
qv_windows_library(libpng1.6 ${CMAKE_BINARY_DIR}/libpng
                   -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
                   -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON -DPNG_HARDWARE_OPTIMIZATIONS=OFF)

# The render tool's audio files: WAV, AIFF and the other built-in formats, no codecs.
qv_windows_library(libsndfile ${CMAKE_BINARY_DIR}/libsndfile
                   -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DBUILD_REGTEST=OFF
                   -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF -DENABLE_CPACK=OFF -DINSTALL_MANPAGES=OFF)

# pkg-config must see these libraries only, never the build machine's own.
set(ENV{PKG_CONFIG_LIBDIR} ${CMAKE_BINARY_DIR}/libsndfile/install/lib/pkgconfig)

# Static libraries only: an import library would make Quorvane.dll depend on zlib1.dll.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
set(ZLIB_USE_STATIC_LIBS ON)
list(APPEND CMAKE_FIND_ROOT_PATH ${CMAKE_BINARY_DIR}/libpng/install ${CMAKE_BINARY_DIR}/libsndfile/install)
find_package(ZLIB REQUIRED)
find_package(PNG 1.6 REQUIRED)
