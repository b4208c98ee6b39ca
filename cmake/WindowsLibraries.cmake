# Libraries of the Windows build that Debian does not ship for mingw-w64, built from
# Debian's source packages once per build tree (tools/build-windows-library.sh) into one
# prefix and then found like installed packages: find_package(PNG) gives PNG::PNG here
# too, and pkg-config finds sndfile with its codecs. They get our own arithmetic flags.
set(QV_LIBRARY_PREFIX ${CMAKE_BINARY_DIR}/windows-libraries/install)
# pkg-config must see these libraries only, never the build machine's own; the library
# builds below look for each other through it as well.
set(ENV{PKG_CONFIG_LIBDIR} ${QV_LIBRARY_PREFIX}/lib/pkgconfig:${QV_LIBRARY_PREFIX}/share/pkgconfig)

function(qv_windows_library package)
  cmake_parse_arguments(L "" "C_FLAGS" "" ${ARGN})
  list(JOIN QV_ARITHMETIC_FLAGS " " c_flags)
  if(L_C_FLAGS)
    string(APPEND c_flags " ${L_C_FLAGS}")
  endif()
  set(dir ${CMAKE_BINARY_DIR}/windows-libraries/${package})
  execute_process(
    COMMAND bash ${PROJECT_SOURCE_DIR}/tools/build-windows-library.sh ${package} ${dir} ${QV_LIBRARY_PREFIX}
            ${CMAKE_TOOLCHAIN_FILE} "-DCMAKE_C_FLAGS=${c_flags}" ${L_UNPARSED_ARGUMENTS}
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "building ${package} for Windows failed; logs in ${dir}")
  endif()
endfunction()

# zlib comes from libz-mingw-w64-dev.
qv_windows_library(libpng1.6
                   -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
                   -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON -DPNG_HARDWARE_OPTIMIZATIONS=OFF)

# The render tool's audio files: WAV, AIFF and FLAC, as on Linux. libsndfile's build takes
# FLAC only together with Ogg, Vorbis and Opus. mingw-w64 has no libssp, which the stack
# protector and source fortification would need.
qv_windows_library(libogg -DINSTALL_DOCS=OFF -DBUILD_TESTING=OFF)
qv_windows_library(flac -DBUILD_CXXLIBS=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF
                   -DBUILD_DOCS=OFF -DINSTALL_MANPAGES=OFF -DWITH_STACK_PROTECTOR=OFF -DWITH_FORTIFY_SOURCE=OFF)
qv_windows_library(libvorbis)
qv_windows_library(opus -DOPUS_BUILD_PROGRAMS=OFF -DOPUS_STACK_PROTECTOR=OFF)
# FLAC is static too: its headers must not ask for a DLL.
qv_windows_library(libsndfile C_FLAGS -DFLAC__NO_DLL
                   -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DBUILD_REGTEST=OFF
                   -DENABLE_EXTERNAL_LIBS=ON -DENABLE_MPEG=OFF -DENABLE_CPACK=OFF -DINSTALL_MANPAGES=OFF)

# Static libraries only: an import library would make Quorvane.dll depend on zlib1.dll.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
set(ZLIB_USE_STATIC_LIBS ON)
list(APPEND CMAKE_FIND_ROOT_PATH ${QV_LIBRARY_PREFIX})
find_package(ZLIB REQUIRED)
find_package(PNG 1.6 REQUIRED)
