# The GoogleTest suites, one executable per tests/test_*.cpp, run by CTest (through the target's
# emulator when cross-compiled: Wine for Windows, QEMU for ARM64).
enable_testing()

# GoogleTest from its source (third_party/googletest), built like the tests for every target.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${CMAKE_SOURCE_DIR}/third_party/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -w)  # its own code's warnings are not ours to fix

# The tables' prober, from the same Fathom source: the tablebase tests compare against it. A
# reference, so never under the sanitizers (their leak report at exit would also drop its output).
add_executable(fathom-prober ${CMAKE_SOURCE_DIR}/third_party/fathom/apps/fathom.c ${CMAKE_SOURCE_DIR}/third_party/fathom/tbprobe.c)
set_target_properties(fathom-prober PROPERTIES OUTPUT_NAME fathom C_STANDARD 11 C_EXTENSIONS ON)
target_include_directories(fathom-prober PRIVATE ${CMAKE_SOURCE_DIR}/third_party/fathom)
target_compile_definitions(fathom-prober PRIVATE TB_CUSTOM_POP_COUNT=__builtin_popcountll)
target_compile_options(fathom-prober PRIVATE -w -fno-sanitize=all)
target_link_options(fathom-prober PRIVATE -fno-sanitize=all)
target_link_libraries(fathom-prober PRIVATE Threads::Threads)

# The engine with a processor check that always fails, as on a processor without x86-64-v3: the
# refusal is tested on every machine. Never installed or shipped.
quoril_processor_check(quoril_check_refuses 2 QUORIL_TEST_REFUSAL=1)
quoril_executable(quoril-refuses ${CMAKE_SOURCE_DIR}/src/main.cpp)
target_link_libraries(quoril-refuses PRIVATE quoril_check_refuses quoril_core)

set(QUORIL_TEST_DEFINITIONS
  QUORIL_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
  QUORIL_BINARY="$<TARGET_FILE:quoril>"
  QUORIL_FATHOM="$<TARGET_FILE:fathom-prober>"
  QUORIL_REFUSING_BINARY="$<TARGET_FILE:quoril-refuses>")
if(TARGET quoril-bmi2)
  list(APPEND QUORIL_TEST_DEFINITIONS QUORIL_BMI2_BINARY="$<TARGET_FILE:quoril-bmi2>")
endif()
# A program of the target that a test starts runs through the same emulator as the test (QEMU
# without binfmt_misc). Wine runs the programs a Windows test starts by itself.
if(CMAKE_CROSSCOMPILING_EMULATOR AND NOT WIN32)
  list(JOIN CMAKE_CROSSCOMPILING_EMULATOR "|" QUORIL_EMULATOR)
  list(APPEND QUORIL_TEST_DEFINITIONS QUORIL_EMULATOR="${QUORIL_EMULATOR}")
endif()

# The helpers every suite shares, built once.
add_library(quoril_test_support STATIC ${CMAKE_SOURCE_DIR}/tests/support.cpp ${CMAKE_SOURCE_DIR}/tests/child_process.cpp)
target_include_directories(quoril_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_compile_definitions(quoril_test_support PUBLIC ${QUORIL_TEST_DEFINITIONS})
target_link_libraries(quoril_test_support PUBLIC quoril_core gtest)

file(GLOB TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/test_*.cpp)
foreach(src ${TEST_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  quoril_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE quoril_check quoril_test_support gtest_main)
  add_dependencies(${name} quoril)
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  # Tests lighten their heaviest cases under an emulator, saying so.
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT QUORIL_EMULATED=1)
  endif()
endforeach()

# The programs a suite starts besides the engine.
add_dependencies(test_tablebase fathom-prober)
add_dependencies(test_platform quoril-refuses)

# The benchmark's node count is the search's signature: the same on every target.
add_test(NAME bench_signature COMMAND quoril -bench WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
set_tests_properties(bench_signature PROPERTIES PASS_REGULAR_EXPRESSION "\nNodes searched: 54221610\r?\n")
