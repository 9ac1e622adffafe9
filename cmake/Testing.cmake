# GoogleTest from Debian's sources, built for whichever target this tree builds for,
# and lmx_add_test() which registers a test binary with CTest. Under the cross build
# every test runs under Wine through cmake/wine/run, inside one shared Wine
# environment (one Xvfb display, one wineserver, a prefix inside the build tree: 32-bit
# in the win32 build, 64-bit in the win64 one).

set(LMX_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(EXISTS ${LMX_GTEST_SOURCE}/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  # gtest's own sources are not ours: build them without -Werror and quietly.
  add_subdirectory(${LMX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL)
else()
  message(FATAL_ERROR "GoogleTest sources not found at ${LMX_GTEST_SOURCE}; run scripts/setup")
endif()

# lmx_wine_test(name [OWN_PREFIX]): marks a test as one that runs under Wine: it needs the
# shared Wine environment and runs alone, or, with OWN_PREFIX, makes a prefix and display
# of its own and runs beside those (one such test at a time). In the win32 build on a
# machine that cannot execute 32-bit x86 code (Wine cannot start there) the test is
# disabled, so CTest reports it as not run.
function(lmx_wine_test name)
  cmake_parse_arguments(W "OWN_PREFIX" "" "" ${ARGN})
  if(W_OWN_PREFIX)
    # A prefix and display of its own: it may run beside the shared prefix's tests.
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine_own_prefix)
  else()
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_env RESOURCE_LOCK wine)
  endif()
  if(NOT LMX_WINE_USABLE)
    set_tests_properties(${name} PROPERTIES DISABLED TRUE)
  endif()
endfunction()

if(WIN32)
  set(LMX_WINE_RUN ${CMAKE_SOURCE_DIR}/cmake/wine/run)
  set(LMX_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
  # The prefix's kind follows the build: cmake/wine/common.sh reads it from this file.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(LMX_WINE_ARCH win64)
  else()
    set(LMX_WINE_ARCH win32)
  endif()
  file(WRITE ${LMX_WINE_STATE}/arch ${LMX_WINE_ARCH})
  # Probed at every configure: the same build tree may move between machines of both kinds.
  # A 64-bit prefix needs only Wine's 64-bit half, which runs wherever the host does.
  if(LMX_WINE_ARCH STREQUAL win64)
    execute_process(COMMAND bash -c ". ${CMAKE_SOURCE_DIR}/cmake/wine/common.sh && wine64_loader"
      RESULT_VARIABLE probe_status OUTPUT_QUIET)
    set(probe_output "no: Wine's 64-bit loader is missing")
  else()
    execute_process(COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine/probe-i386
      RESULT_VARIABLE probe_status OUTPUT_VARIABLE probe_output OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
  if(probe_status EQUAL 0)
    set(LMX_WINE_USABLE TRUE)
  else()
    set(LMX_WINE_USABLE FALSE)
    string(REGEX REPLACE "^no: " "" probe_output "${probe_output}")
    message(STATUS "Wine tests disabled: ${probe_output}; check with cmake/wine/probe-i386")
  endif()
  add_test(NAME wine_env_start COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine/env start ${LMX_WINE_STATE})
  add_test(NAME wine_env_stop COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine/env stop ${LMX_WINE_STATE})
  set_tests_properties(wine_env_start PROPERTIES FIXTURES_SETUP wine_env)
  set_tests_properties(wine_env_stop PROPERTIES FIXTURES_CLEANUP wine_env)
  if(NOT LMX_WINE_USABLE)
    set_tests_properties(wine_env_start wine_env_stop PROPERTIES DISABLED TRUE)
  endif()
endif()

# lmx_add_test(NAME name COMMAND exe [args...] [LABELS ...] [TIMEOUT s])
# Adds a test that runs natively, or under Wine in the cross build.
function(lmx_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "COMMAND;LABELS;DEPENDS_FILES" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(WIN32)
    list(POP_FRONT T_COMMAND exe)
    if(TARGET ${exe})
      set(exe $<TARGET_FILE:${exe}>)
    endif()
    add_test(NAME ${T_NAME} COMMAND ${LMX_WINE_RUN} ${LMX_WINE_STATE} ${exe} ${T_COMMAND})
    lmx_wine_test(${T_NAME})
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_COMMAND})
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}")
endfunction()

# lmx_gtest(name sources... LIBS libs...): a GoogleTest binary registered as one test.
function(lmx_gtest name)
  cmake_parse_arguments(G "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${G_SOURCES})
  target_link_libraries(${name} PRIVATE ${G_LIBS} GTest::gtest_main)
  lmx_strict(${name})
  lmx_add_test(NAME ${name} COMMAND ${name} --gtest_brief=1 LABELS ${G_LABELS} TIMEOUT ${G_TIMEOUT})
endfunction()
