# Libraries of the Windows build that Debian does not ship for mingw-w64: libpng is built
# from Debian's source package once per build tree (tools/build-libpng-windows.sh) and
# found like any installed package, so find_package(PNG) gives PNG::PNG here too.
set(QV_LIBPNG_DIR ${CMAKE_BINARY_DIR}/libpng)
execute_process(
  COMMAND bash ${PROJECT_SOURCE_DIR}/tools/build-libpng-windows.sh ${QV_LIBPNG_DIR} ${CMAKE_TOOLCHAIN_FILE}
  RESULT_VARIABLE libpng_result)
if(NOT libpng_result EQUAL 0)
  message(FATAL_ERROR "building libpng for Windows failed; logs in ${QV_LIBPNG_DIR}")
endif()
# Static libraries only: an import library would make Quorvane.dll depend on zlib1.dll.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
set(ZLIB_USE_STATIC_LIBS ON)
list(APPEND CMAKE_FIND_ROOT_PATH ${QV_LIBPNG_DIR}/install)
find_package(ZLIB REQUIRED)
find_package(PNG 1.6 REQUIRED)
