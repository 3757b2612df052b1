# Build settings and helpers shared by every subsystem.

add_compile_options(-Wall -Wextra)

if(OLMIRA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

if(OLMIRA_TSAN)
    if(OLMIRA_SANITIZE OR OLMIRA_FUZZ)
        message(FATAL_ERROR "OLMIRA_TSAN cannot be combined with OLMIRA_SANITIZE or OLMIRA_FUZZ")
    endif()
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()

if(OLMIRA_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "OLMIRA_FUZZ needs clang")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# olmira_library(<subsystem> SOURCES ... LIBS ...): the library target olmira_<subsystem>.
function(olmira_library subsystem)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(olmira_${subsystem} STATIC ${ARG_SOURCES})
    target_include_directories(olmira_${subsystem} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(olmira_${subsystem} PUBLIC ${ARG_LIBS})
endfunction()

# olmira_tests(<name> LABEL <label> SOURCES ... LIBS ... [GL] [DATA]):
# a GoogleTest binary whose tests CTest finds and labels. GL tests run on the X display that
# xvfb-run provides; the others use Qt's offscreen platform. DATA tests run in the run folder.
function(olmira_tests name)
    cmake_parse_arguments(ARG "GL;DATA" "LABEL" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    if(ARG_GL)
        target_link_libraries(${name} PRIVATE olmira_gl_test_main)
    else()
        target_link_libraries(${name} PRIVATE olmira_test_main)
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE OLMIRA_RUN_DIR="${OLMIRA_RUN_DIR}")
    # The software rasteriser draws in the test's own thread: tests run side by side, and a helper
    # thread a core in each would only crowd the machine.
    set(environment "")
    if(ARG_GL)
        set(environment ENVIRONMENT LP_NUM_THREADS=0)
    endif()
    set(workdir ${CMAKE_CURRENT_BINARY_DIR})
    if(ARG_DATA)
        set(workdir ${OLMIRA_RUN_DIR})
        add_dependencies(${name} olmira_data)
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        WORKING_DIRECTORY ${workdir}
        PROPERTIES LABELS ${ARG_LABEL} TIMEOUT 300 ${environment})
endfunction()

# olmira_fuzz(<name> SOURCES ... LIBS ... [SECONDS n]): a libFuzzer target, run by CTest for a
# short time (label "fuzz") from its seed corpus fuzz/corpus/<name> and with its dictionary
# fuzz/<name>.dict where they exist. It runs in the fuzz build folder, where no data lies: an input
# that names a file of the program's data does not read it. scripts/fuzz runs every target listed
# in the global property OLMIRA_FUZZ_TARGETS.
function(olmira_fuzz name)
    cmake_parse_arguments(ARG "" "SECONDS" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_SECONDS)
        set(ARG_SECONDS 60)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    set_property(GLOBAL APPEND PROPERTY OLMIRA_FUZZ_TARGETS ${name})
    set(options -max_total_time=${ARG_SECONDS} -rss_limit_mb=4096 -timeout=20)
    set(dictionary ${CMAKE_CURRENT_SOURCE_DIR}/${name}.dict)
    if(EXISTS ${dictionary})
        list(APPEND options -dict=${dictionary})
    endif()
    set(corpus ${CMAKE_CURRENT_BINARY_DIR}/corpus/${name})
    file(MAKE_DIRECTORY ${corpus})
    set(dirs ${corpus})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
        list(APPEND dirs ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
    endif()
    add_test(NAME ${name} COMMAND ${name} ${options} ${dirs}
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    math(EXPR limit "${ARG_SECONDS} * 3 + 60")
    set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT ${limit}
        ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endfunction()
