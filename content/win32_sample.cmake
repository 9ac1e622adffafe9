# The sample installation in the Windows build, for the installer. lmxlib.exe cannot run
# at build time, so a native build of this same tree (build/win32/native-sample, configured
# like the `native` preset) generates the installation with its own lmxlib and the picture
# generator; only its `sample_install` target is built. LMX_SAMPLE_INSTALL names an
# installation made elsewhere (e.g. build/native/install) to use instead.
#
# Gives the target `sample_install` and the global property LMX_SAMPLE_INSTALL_DIR.
set(LMX_SAMPLE_INSTALL "" CACHE PATH
  "An existing sample installation to package; empty: generate one with a native build of this tree")

if(LMX_SAMPLE_INSTALL)
  if(NOT IS_DIRECTORY ${LMX_SAMPLE_INSTALL}/EFFECTS)
    message(FATAL_ERROR "LMX_SAMPLE_INSTALL=${LMX_SAMPLE_INSTALL} is not a sample installation (no EFFECTS)")
  endif()
  add_custom_target(sample_install)
  set_property(GLOBAL PROPERTY LMX_SAMPLE_INSTALL_DIR ${LMX_SAMPLE_INSTALL})
  return()
endif()

include(ExternalProject)
set(native_dir ${CMAKE_BINARY_DIR}/native-sample)
ExternalProject_Add(native_sample
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${native_dir}
  PREFIX ${CMAKE_CURRENT_BINARY_DIR}/native_sample
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
             -DLMX_SANITIZE=ON -DLMX_FUZZ=OFF
  BUILD_COMMAND ${CMAKE_COMMAND} --build ${native_dir} --target sample_install
  INSTALL_COMMAND ""
  # The inner build decides what is out of date; running it each time costs one no-op.
  BUILD_ALWAYS ON)
add_custom_target(sample_install DEPENDS native_sample)
set_property(GLOBAL PROPERTY LMX_SAMPLE_INSTALL_DIR ${native_dir}/install)
