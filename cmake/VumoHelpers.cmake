# vumo_library(<name> [DEPS <targets>...] [PRIVATE_DEPS <targets>...])
# Builds lib/<name>/src/*.cpp (recursively, except platform folders a library adds
# itself) into a static library with include/ as its public header root.
function(vumo_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/src/*.cpp)
  foreach(pattern IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${pattern}")
  endforeach()
  if(NOT sources)
    # Header-only so far.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR}/include)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include
                                     PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# vumo_tests(<name> [DEPS <targets>...] [RESOURCE_LOCK <lock>] [SEEDS <seed>...])
# RESOURCE_LOCK keeps the library's tests from running at the same time as each other, for
# tests that share fixed file names in the working directory.
# One test program per library from tests/*.cpp, each test case its own CTest test, and the whole
# program as one more, and once more shuffled for each of SEEDS (vumo_one_process_tests).
# Tests find their committed data through VUMO_TEST_DATA_DIR and draw headless; scripts/test
# sets the rest of the environment (audio driver, no display).
# Header-only helpers that several libraries' tests share (scratch folders, thrown texts, test images,
# keeping the GL driver loaded for the leak check, OGG Vorbis files).
function(vumo_test_support)
  if(NOT VUMO_TESTS OR TARGET vumo_test_support)
    return()
  endif()
  add_library(vumo_test_support INTERFACE)
  target_include_directories(vumo_test_support INTERFACE
    ${PROJECT_SOURCE_DIR}/lib/quortypes/tests/support ${PROJECT_SOURCE_DIR}/lib/tesra/tests/support
    ${PROJECT_SOURCE_DIR}/lib/yim/tests/support)
  target_link_libraries(vumo_test_support INTERFACE ${CMAKE_DL_LIBS})
endfunction()

function(vumo_tests name)
  if(NOT VUMO_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "RESOURCE_LOCK" "DEPS;SEEDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  if(NOT sources)
    return()
  endif()
  set(lock_property)
  if(ARG_RESOURCE_LOCK)
    set(lock_property RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
  endif()
  vumo_test_support()
  add_executable(${name}_tests ${sources})
  target_link_libraries(${name}_tests PRIVATE ${name} ${ARG_DEPS} vumo_test_support GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name}_tests PRIVATE
    VUMO_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data")
  gtest_discover_tests(${name}_tests
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT SDL_VIDEODRIVER=offscreen
               ${lock_property})
  vumo_one_process_tests(${name}_tests SEEDS ${ARG_SEEDS} ENVIRONMENT SDL_VIDEODRIVER=offscreen
                         RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
endfunction()

# vumo_one_process_tests(<program> [SEEDS <seed>...] [SHARDS <n>] [ENVIRONMENT <var=value>...]
#                        [RESOURCE_LOCK <lock>])
# The whole test program once more as one process, <program>.OneProcess, and once in a shuffled order for
# each seed, <program>.OneProcessShuffled.<seed>. Run alone, a case never meets what an earlier one left
# behind; here a case leaning on another's leftovers, or process state that an end does not reset, fails.
# With SHARDS, each of these runs is split into n processes that take every n-th case between them (the
# test framework's sharding: the same split in every order, shuffled within each part), named
# <program>.OneProcess.<i>of<n> and <program>.OneProcessShuffled.<seed>.<i>of<n>, so that a long program's
# runs stay within the test timeout as it grows, under every sanitizer.
# Each run has a folder of its own, which keeps its scratch files apart from the single cases' ones.
function(vumo_one_process_tests program)
  cmake_parse_arguments(ARG "" "RESOURCE_LOCK;SHARDS" "SEEDS;ENVIRONMENT" ${ARGN})
  if(NOT ARG_SHARDS)
    set(ARG_SHARDS 1)
  endif()
  set(tests)
  foreach(seed IN ITEMS plain ${ARG_SEEDS})
    if(seed STREQUAL "plain")
      set(run OneProcess)
      set(dir ${CMAKE_CURRENT_BINARY_DIR}/one_process)
      set(arguments)
    else()
      set(run OneProcessShuffled.${seed})
      set(dir ${CMAKE_CURRENT_BINARY_DIR}/one_process_shuffled_${seed})
      set(arguments --gtest_shuffle --gtest_random_seed=${seed})
    endif()
    math(EXPR last "${ARG_SHARDS} - 1")
    foreach(shard RANGE ${last})
      set(name ${program}.${run})
      set(shard_dir ${dir})
      set(environment ${ARG_ENVIRONMENT})
      if(ARG_SHARDS GREATER 1)
        math(EXPR number "${shard} + 1")
        set(name ${name}.${number}of${ARG_SHARDS})
        set(shard_dir ${dir}/${number}of${ARG_SHARDS})
        list(APPEND environment GTEST_TOTAL_SHARDS=${ARG_SHARDS} GTEST_SHARD_INDEX=${shard})
      endif()
      file(MAKE_DIRECTORY ${shard_dir})
      add_test(NAME ${name} COMMAND ${program} ${arguments} WORKING_DIRECTORY ${shard_dir})
      set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment}")
      list(APPEND tests ${name})
    endforeach()
  endforeach()
  # A high cost starts these long runs first, so that a parallel CTest does not end waiting on one of them.
  set_tests_properties(${tests} PROPERTIES COST 1000)
  if(ARG_RESOURCE_LOCK)
    set_tests_properties(${tests} PROPERTIES RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
  endif()
endfunction()

# vumo_fuzz_target(<name> SOURCES <files>... DEPS <targets>... CORPUS <folders>... [DICT <file>]
#                  [OPTIONS <libFuzzer flags>...])
# A fuzz target over one reader. With VUMO_FUZZ (a clang build whose code is compiled with
# -fsanitize=fuzzer-no-link) it is a libFuzzer program that scripts/fuzz finds in fuzz-targets.txt of the
# build folder; otherwise it is a program that replays its corpus folders (the seeds and every input that
# once failed), registered as the test fuzz_corpus.<name>, so that the sanitized test build runs the
# reader over them.
function(vumo_fuzz_target name)
  cmake_parse_arguments(ARG "" "DICT" "SOURCES;DEPS;CORPUS;OPTIONS" ${ARGN})
  set(corpus)
  foreach(folder IN LISTS ARG_CORPUS)
    cmake_path(ABSOLUTE_PATH folder BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE)
    list(APPEND corpus ${folder})
  endforeach()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} vumo_fuzz_support)
  if(VUMO_FUZZ)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    add_dependencies(vumo_fuzz_targets ${name})
    set(dict -)
    if(ARG_DICT)
      cmake_path(ABSOLUTE_PATH ARG_DICT BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE
                 OUTPUT_VARIABLE dict)
    endif()
    set(options -)
    if(ARG_OPTIONS)
      list(JOIN ARG_OPTIONS " " options)
    endif()
    set_property(GLOBAL APPEND_STRING PROPERTY VUMO_FUZZ_MANIFEST
      "${name}\t${CMAKE_CURRENT_BINARY_DIR}/${name}\t${dict}\t${options}\t${corpus}\n")
    return()
  endif()
  target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
  if(VUMO_TESTS)
    add_test(NAME fuzz_corpus.${name} COMMAND ${name} ${corpus} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(fuzz_corpus.${name} PROPERTIES
      ENVIRONMENT "SDL_VIDEODRIVER=offscreen;ALSOFT_DRIVERS=null;TESRA_MESSAGEBOX_ANSWER=ok")
  endif()
endfunction()
