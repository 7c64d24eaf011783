# lsa_add_qtest(<name> SOURCES <files...> LIBS <targets...>)
# Builds one QTest executable and registers it with CTest, headless and with a
# private runtime and data folder so tests never touch the user's files.
function(lsa_add_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt5::Test ${ARG_LIBS})
  set(sandbox "${CMAKE_BINARY_DIR}/test-sandbox/${name}")
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -E env
    QT_QPA_PLATFORM=offscreen
    XDG_RUNTIME_DIR=${sandbox}/runtime
    XDG_DATA_HOME=${sandbox}/data
    XDG_CONFIG_HOME=${sandbox}/config
    LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ASAN_OPTIONS=detect_leaks=1
    ${CMAKE_COMMAND} -DSANDBOX=${sandbox} -DEXE=$<TARGET_FILE:${name}>
      -P ${PROJECT_SOURCE_DIR}/cmake/RunInSandbox.cmake)
  set_tests_properties(${name} PROPERTIES TIMEOUT 60)
endfunction()
