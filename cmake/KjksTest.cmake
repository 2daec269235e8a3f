# kjks_add_test(NAME SOURCES file... LIBS lib...)
# One test executable, registered with ctest under the offscreen platform (one 1920 x 1080 screen, so
# that windows open at their design size) and a fixed locale.
function(kjks_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_SOURCE_DIR}/tests/support/offscreen-screen.json;LANG=C.UTF-8;LC_ALL=C.UTF-8;TZ=Asia/Shanghai"
    TIMEOUT 300)
endfunction()

# kjks_add_scaled_test(NAME TARGET FILTER): the tests of TARGET matching the GoogleTest FILTER run
# again at 200 % scale, as a learner with a high-resolution screen sees the windows.
function(kjks_add_scaled_test name target filter)
  add_test(NAME ${name} COMMAND ${target} --gtest_filter=${filter})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_SOURCE_DIR}/tests/support/offscreen-screen.json;QT_SCALE_FACTOR=2;LANG=C.UTF-8;LC_ALL=C.UTF-8;TZ=Asia/Shanghai"
    TIMEOUT 300)
endfunction()
