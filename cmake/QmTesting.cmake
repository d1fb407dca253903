# Test helpers. Labels say where a test can run:
#   unit  - CPU only, no display; also run in the sanitizer build
#   gl    - needs an X display or SDL's offscreen driver with Mesa
#   e2e   - drives a built program from outside (xdotool, screenshots)
# Without QM_TESTS (./play) nothing here needs GoogleTest.
if(QM_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# qm_test(name SOURCES ... LIBS ... [LABELS ...] [SERIAL]): one GoogleTest program, default
# label unit; SERIAL runs its cases with no other test beside them.
function(qm_test name)
  cmake_parse_arguments(T "SERIAL" "" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  set(serial FALSE)
  if(T_SERIAL)
    set(serial TRUE)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  # Tests may read the helpers of other test folders ("tests/text/...").
  qm_private_headers(${name} tests)
  # The cases are listed when CTest reads the tests, not by the build: a
  # program that a busy machine lets start slowly then delays the tests
  # instead of stopping the build. The time-out only catches a program that
  # hangs; a sanitizer build under load may need minutes to list.
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES LABELS "${T_LABELS}" RUN_SERIAL ${serial}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 600)
  if("unit" IN_LIST T_LABELS)
    set_property(GLOBAL APPEND PROPERTY QM_UNIT_TEST_TARGETS ${name})
  endif()
  if("gl" IN_LIST T_LABELS OR "e2e" IN_LIST T_LABELS)
    set_property(GLOBAL APPEND PROPERTY QM_DISPLAY_TEST_TARGETS ${name})
  endif()
endfunction()

# qm_test_timeout(test seconds): the test's time limit on an idle machine
# (CTest's TIMEOUT). A test that drives a program from outside takes longer
# the busier the machine is, so CTest multiplies the limit by the machine's
# slowness (tests/support/slowness) each time it reads the tests; its waits
# inside scale by the same factor. (Only a run of the whole tree scales:
# `ctest --test-dir build/tests/game` keeps the idle limits.)
function(qm_test_timeout test seconds)
  set_tests_properties(${test} PROPERTIES TIMEOUT ${seconds})
  set_property(GLOBAL APPEND PROPERTY QM_TEST_TIMEOUTS "${test}" "${seconds}")
endfunction()

# qm_e2e_test(name seconds command...): a test that drives a program on an
# X display of its own (E2E_OWN_DISPLAY) with no sound device, labelled e2e,
# its idle-machine time limit `seconds` (qm_test_timeout).
function(qm_e2e_test name seconds)
  add_test(NAME ${name} COMMAND ${ARGN})
  set_tests_properties(${name} PROPERTIES
    LABELS e2e
    ENVIRONMENT "SDL_AUDIODRIVER=dummy;E2E_OWN_DISPLAY=1")
  qm_test_timeout(${name} ${seconds})
endfunction()

# Writes the script that scales the limits of qm_test_timeout and adds a
# folder whose test include file it is: CTest reads folders in the order they
# were added, so this one, added last, finds every test already there.
function(_qm_scaled_test_timeouts)
  get_property(timeouts GLOBAL PROPERTY QM_TEST_TIMEOUTS)
  set(dir ${PROJECT_BINARY_DIR}/test-timeouts)
  set(script "# Made by cmake/QmTesting.cmake: the idle-machine time limits times the slowness.
execute_process(COMMAND [==[${PROJECT_SOURCE_DIR}/tests/support/slowness]==]
  OUTPUT_VARIABLE slowness OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
if(failed OR NOT slowness MATCHES \"^[1-9][0-9]*$\")
  message(WARNING \"tests/support/slowness failed: the tests keep their idle-machine time limits\")
  set(slowness 1)
endif()
")
  while(timeouts)
    list(POP_FRONT timeouts test seconds)
    string(APPEND script "math(EXPR limit \"${seconds} * \${slowness}\")\n"
                         "set_tests_properties([==[${test}]==] PROPERTIES TIMEOUT \${limit})\n")
  endwhile()
  file(WRITE ${dir}/scale.cmake "${script}")
  file(WRITE ${dir}/source/CMakeLists.txt
       "set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES [==[${dir}/scale.cmake]==])\n")
  # Added last, so CTest reads it after every other folder's tests.
  add_subdirectory(${dir}/source ${dir})
endfunction()

# qm_display_test_programs(target...): programs that gl or e2e tests run
# besides qm_test programs (screenshot programs, the game, its tools).
function(qm_display_test_programs)
  set_property(GLOBAL APPEND PROPERTY QM_DISPLAY_TEST_TARGETS ${ARGN})
endfunction()

# qm_unit_tests_target(): after every folder is added, `unit_tests` builds
# all unit-test programs and `display_tests` all that the gl and e2e tests
# run. ./test builds the second in the release tree and the first in the
# sanitizer tree, so each test is built and run once. It also adds the
# folder that scales the limits of qm_test_timeout, which must come last.
function(qm_unit_tests_target)
  _qm_scaled_test_timeouts()
  get_property(targets GLOBAL PROPERTY QM_UNIT_TEST_TARGETS)
  add_custom_target(unit_tests)
  if(targets)
    add_dependencies(unit_tests ${targets})
  endif()
  get_property(targets GLOBAL PROPERTY QM_DISPLAY_TEST_TARGETS)
  add_custom_target(display_tests)
  foreach(target IN LISTS targets)
    if(TARGET ${target})  # (the sanitizer trees make no splash movie)
      add_dependencies(display_tests ${target})
    endif()
  endforeach()
endfunction()

# qm_fuzz_target(name SOURCES ... LIBS ... CORPUS dir)
# The sources define LLVMFuzzerTestOneInput. With QM_FUZZ (clang) this builds a
# libFuzzer program; otherwise a replay program that feeds every file of the
# seed corpus through the target once, registered as a unit test.
function(qm_fuzz_target name)
  cmake_parse_arguments(F "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  if(QM_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
    add_test(NAME ${name}_replay COMMAND ${name} ${F_CORPUS})
    set_tests_properties(${name}_replay PROPERTIES LABELS unit)
    set_property(GLOBAL APPEND PROPERTY QM_UNIT_TEST_TARGETS ${name})
  endif()
endfunction()

# Adds every subfolder of the current folder that has a CMakeLists.txt.
function(qm_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
