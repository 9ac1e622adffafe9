# lmx_fuzzer(NAME name SOURCE file CORPUS dir LIBS libraries...): a fuzz target over a
# reader. With clang and LMX_FUZZ it is a libFuzzer binary whose short smoke run is a
# test (NAME_smoke); otherwise a standalone runner replays its corpus as a regression
# test (NAME_corpus). Native builds only.
set(LMX_FUZZ_SECONDS 15 CACHE STRING "Length of each fuzzer's smoke run in the test suite")

function(lmx_fuzzer)
  cmake_parse_arguments(F "" "NAME;SOURCE;CORPUS" "LIBS" ${ARGN})
  if(LMX_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    add_executable(${F_NAME} ${F_SOURCE})
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
    set(work ${CMAKE_CURRENT_BINARY_DIR}/${F_NAME}_corpus)
    file(MAKE_DIRECTORY ${work})
    # New inputs go to the build tree; the committed seeds are read only.
    set(test ${F_NAME}_smoke)
    add_test(NAME ${test}
      COMMAND ${F_NAME} -max_total_time=${LMX_FUZZ_SECONDS} -timeout=60 -rss_limit_mb=2048 ${work} ${F_CORPUS})
  else()
    add_executable(${F_NAME} ${F_SOURCE} ${PROJECT_SOURCE_DIR}/fuzz/standalone_main.cpp)
    set(test ${F_NAME}_corpus)
    add_test(NAME ${test} COMMAND ${F_NAME} ${F_CORPUS})
  endif()
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  set_tests_properties(${test} PROPERTIES LABELS fuzz TIMEOUT 120)
endfunction()
