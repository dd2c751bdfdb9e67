# Project-wide compiler settings and helper functions.

add_compile_options(-Wall -Wextra -Wshadow -Wno-unused-parameter)
# Modules must be unloadable: gcc would give inline variables and template
# statics STB_GNU_UNIQUE binding, which pins a shared library for the rest of
# the process. Every translation unit that may end up in a module goes without.
add_compile_options($<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique>)
if(HARTDTM_WERROR)
  add_compile_options(-Werror)
endif()

if(HARTDTM_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Every target sees the repository root, so includes read
# "platform/com/bstr.h", "engine/parameters/value_parameter.h" and so on.
set(HARTDTM_ROOT ${CMAKE_SOURCE_DIR})
set(HARTDTM_DATA ${CMAKE_SOURCE_DIR}/tests/data)

# hartdtm_library(NAME SOURCES... [LIBS ...])
# A static building block (PIC, hidden visibility) linked into modules and tests.
function(hartdtm_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${HARTDTM_ROOT})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# hartdtm_module(NAME OUTPUT_DIR DIR SOURCES... [LIBS ...])
# An in-process COM server: a shared library without the lib prefix that
# exports DllGetClassObject, DllCanUnloadNow, DllRegisterServer and
# DllUnregisterServer, laid into its package folder.
function(hartdtm_module name)
  cmake_parse_arguments(ARG "" "OUTPUT_DIR" "SOURCES;LIBS" ${ARGN})
  add_library(${name} MODULE ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "")
  if(ARG_OUTPUT_DIR)
    set_target_properties(${name} PROPERTIES LIBRARY_OUTPUT_DIRECTORY "${ARG_OUTPUT_DIR}")
  endif()
  target_include_directories(${name} PRIVATE ${HARTDTM_ROOT})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  # Calls inside the module bind to the module's own definitions, never to a
  # copy of the same platform code in the host executable.
  target_link_options(${name} PRIVATE -Wl,-Bsymbolic -Wl,--no-undefined)
endfunction()

# hartdtm_test(NAME SOURCES... [LIBS ...])
# A GoogleTest executable registered with CTest.
function(hartdtm_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${HARTDTM_ROOT})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE HARTDTM_TEST_DATA="${HARTDTM_DATA}"
    HARTDTM_SOURCE_ROOT="${HARTDTM_ROOT}" HARTDTM_BINARY_ROOT="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "HARTDTM_REGISTRY=${CMAKE_BINARY_DIR}/test-registry/${name}")
endfunction()
