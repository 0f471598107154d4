# Tests never reach the machine's print system: libcups is pointed at a socket in the build
# folder that nothing creates, so there is no printer (a test that needs a print server
# starts one of its own).
set(ZORV_NO_PRINT_SERVER ${CMAKE_BINARY_DIR}/no-print-server/cups.sock)
# Nor its sound server: libpulse is pointed at a socket that nothing creates either (a test
# that plays for real starts a server of its own).
set(ZORV_NO_SOUND_SERVER unix:${CMAKE_BINARY_DIR}/no-sound-server/native)
set(ZORV_TEST_SERVERS "CUPS_SERVER=${ZORV_NO_PRINT_SERVER};PULSE_SERVER=${ZORV_NO_SOUND_SERVER}")

# zorv_add_test(<name> SOURCES ... LIBS ... [TIMEOUT s] [XVFB])
# One GoogleTest executable run headless under ctest, with a modal-box guard
# from tests/support (a box nobody answers fails the test instead of hanging it).
function(zorv_add_test name)
  cmake_parse_arguments(ZT "XVFB" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT ZT_TIMEOUT)
    set(ZT_TIMEOUT 120)
  endif()
  add_executable(${name} ${ZT_SOURCES})
  target_link_libraries(${name} PRIVATE zorv_test_support ${ZT_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(ZT_XVFB)
    add_test(NAME ${name} COMMAND xvfb-run -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:${name}>)
    # xvfb-run -a can hand two servers starting at once the same display number: the
    # tests that need one take turns.
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ZT_TIMEOUT} RESOURCE_LOCK xvfb
      ENVIRONMENT "ZORV900_BIN_DIR=${CMAKE_BINARY_DIR}/bin;QT_QPA_PLATFORM=xcb;${ZORV_TEST_SERVERS}")
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ZT_TIMEOUT}
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ZORV900_BIN_DIR=${CMAKE_BINARY_DIR}/bin;${ZORV_TEST_SERVERS}")
  endif()
endfunction()

# zorv_add_locale_runs(<test> FILTER <gtest filter> LOCALES <locale>...)
# Runs the filtered cases of a test again under each locale (LC_ALL), for code whose
# result depends on the system's locale. Qt reads the locale's name from the
# environment, so the locale need not be installed.
function(zorv_add_locale_runs name)
  cmake_parse_arguments(ZL "" "FILTER" "LOCALES" ${ARGN})
  foreach(locale IN LISTS ZL_LOCALES)
    string(MAKE_C_IDENTIFIER "${locale}" suffix)
    add_test(NAME ${name}_${suffix} COMMAND ${name} --gtest_filter=${ZL_FILTER})
    set_tests_properties(${name}_${suffix} PROPERTIES TIMEOUT 120
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ZORV900_BIN_DIR=${CMAKE_BINARY_DIR}/bin;LC_ALL=${locale};${ZORV_TEST_SERVERS}")
  endforeach()
endfunction()

# zorv_add_bench(<name> [APP CORE|WIDGETS] SOURCES ... LIBS ...)
# APP gives the benchmark the shared main with a Qt application of that kind.
function(zorv_add_bench name)
  cmake_parse_arguments(ZB "" "APP" "SOURCES;LIBS" ${ARGN})
  if(ZB_APP)
    list(APPEND ZB_SOURCES ${PROJECT_SOURCE_DIR}/bench/benchmain.cpp)
  endif()
  add_executable(${name} ${ZB_SOURCES})
  target_link_libraries(${name} PRIVATE benchmark::benchmark ${ZB_LIBS})
  if(ZB_APP STREQUAL "WIDGETS")
    target_compile_definitions(${name} PRIVATE ZORV_BENCH_WIDGETS)
    target_link_libraries(${name} PRIVATE Qt6::Widgets)
  elseif(ZB_APP)
    target_link_libraries(${name} PRIVATE Qt6::Core)
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()
