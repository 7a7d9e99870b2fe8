# Shared build settings and helpers of the project.

add_compile_options(-Wall -Wextra)

if(MORVIK_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
elseif(MORVIK_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NOT MORVIK_SANITIZE STREQUAL "")
    message(FATAL_ERROR "MORVIK_SANITIZE must be address, thread or empty")
endif()

if(MORVIK_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "MORVIK_FUZZ needs clang (CC=clang CXX=clang++)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# morvik_library(NAME SOURCES... [LIBS ...]): a static library of one layer; includes are rooted at the
# repository, so code says #include "foundation/logger.h".
function(morvik_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# morvik_test(NAME LABEL label SOURCES... LIBS...): one GoogleTest program whose cases run under CTest with
# the label of their folder.
function(morvik_test name)
    cmake_parse_arguments(ARG "" "LABEL" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES LABELS ${ARG_LABEL} ENVIRONMENT "MORVIK_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()

# morvik_fuzz(NAME LABEL label SOURCES... LIBS... CORPUS dir): a libFuzzer target. In the ordinary build the
# same code is linked with a driver that runs every file of the seed corpus once, as a CTest case.
function(morvik_fuzz name)
    cmake_parse_arguments(ARG "" "LABEL;CORPUS" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    if(MORVIK_FUZZ)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
        add_dependencies(fuzzers ${name})
    else()
        target_link_libraries(${name} PRIVATE morvik_fuzz_corpus_driver)
        if(MORVIK_TESTS)
            add_test(NAME fuzz_corpus.${name} COMMAND ${name} ${ARG_CORPUS})
            set_tests_properties(fuzz_corpus.${name} PROPERTIES LABELS "${ARG_LABEL};fuzz")
        endif()
    endif()
endfunction()

# morvik_bench(NAME SOURCES... LIBS...): a Google Benchmark program (built by every build, run by hand).
function(morvik_bench name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()
