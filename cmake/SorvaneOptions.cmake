# Compiler warnings and sanitizers, applied to every target of the tree.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
                    -Wformat=2 -Wno-unused-parameter)
if(SORVANE_WERROR AND NOT SORVANE_FUZZ)
  add_compile_options(-Werror)
endif()

# Fuzz builds instrument every library for coverage and memory errors; the
# fuzz targets themselves link libFuzzer's main.
if(SORVANE_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(SORVANE_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  # GCC's flow analysis under the sanitizers reports false maybe-uninitialized
  # warnings inside the standard library (std::regex, std::function).
  add_compile_options(-Wno-maybe-uninitialized)
  add_link_options(-fsanitize=address,undefined)
elseif(SORVANE_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT SORVANE_SANITIZE STREQUAL "")
  message(FATAL_ERROR "SORVANE_SANITIZE must be empty, address or thread")
endif()
if(NOT SORVANE_SANITIZE STREQUAL "")
  add_compile_definitions(SORVANE_SANITIZED=1)
endif()

# A shared library that should resolve its own symbols first (our vendor-API
# libraries) and export only what it declares.
function(sorvane_vendor_library target)
  set_target_properties(${target} PROPERTIES
    C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
    LIBRARY_OUTPUT_DIRECTORY ${SORVANE_PRIVATE_LIB_DIR})
  target_link_options(${target} PRIVATE -Wl,-Bsymbolic
    -Wl,--version-script=${CMAKE_SOURCE_DIR}/cmake/vendor_library.map)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS
    ${CMAKE_SOURCE_DIR}/cmake/vendor_library.map)
  # Sanitizer runtimes resolve their hooks from the executable, so shared
  # libraries of instrumented builds have undefined references by design.
  if(NOT SORVANE_FUZZ AND SORVANE_SANITIZE STREQUAL "")
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  endif()
endfunction()

# A GoogleTest binary of the core; labelled so that sanitizer runs can pick them.
function(sorvane_core_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS core
    ENVIRONMENT "SORVANE_TESTDATA=${CMAKE_SOURCE_DIR}/../shared/testdata;SORVANE_TEST_SOURCE=${CMAKE_SOURCE_DIR}/tests")
endfunction()

# A Qt Test binary: one ctest entry per binary, run offscreen.
function(sorvane_qt_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE Qt6::Test)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS gui
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SORVANE_TESTDATA=${CMAKE_SOURCE_DIR}/../shared/testdata;SORVANE_TEST_SOURCE=${CMAKE_SOURCE_DIR}/tests")
endfunction()

# A libFuzzer target; test.sh runs every one for a short while, seeded from
# the folders listed in fuzz/<name>.seeds.
function(sorvane_fuzz_target name)
  add_executable(${name} ${ARGN})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
