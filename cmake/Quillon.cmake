# One static library per source folder, named after it, so a folder builds and is tested on its own.
#   quillon_library(<folder> SOURCES ... LIBS ...)  ->  target quillon_<folder>
function(quillon_library folder)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    set(target quillon_${folder})
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC Qt6::Core ${ARG_LIBS})
    set_target_properties(${target} PROPERTIES AUTOUIC_SEARCH_PATHS ${CMAKE_CURRENT_SOURCE_DIR}
                                               UNITY_BUILD ${QUILLON_UNITY_BUILD})
endfunction()

# One QtTest executable per test file, run by ctest on the offscreen platform.
#   quillon_test(<name> SOURCES ... LIBS ... [TIMEOUT s] [SEARCH_PORT] [COST s])
# SEARCH_PORT: the test binds the wildcard UDP port 5320, as the application does, so no two such
# tests run at once; every other test still runs beside it.
# COST: about how long the test runs, in seconds; ctest starts the longest first, so that a long
# test does not begin last and run on alone (without it ctest has no figures on a fresh checkout).
function(quillon_test name)
    cmake_parse_arguments(ARG "SEARCH_PORT" "TIMEOUT;COST" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE
        QUILLON_TESTDATA="${CMAKE_CURRENT_SOURCE_DIR}/testdata"
        QUILLON_BINARY_DIR="${PROJECT_BINARY_DIR}")
    add_test(NAME ${name} COMMAND ${name})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    math(EXPR ARG_TIMEOUT "${ARG_TIMEOUT} * ${QUILLON_TEST_TIMEOUT_FACTOR}")
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_FORCE_STDERR_LOGGING=1;QUILLON_TEST_TIME_SCALE=${QUILLON_TEST_TIMEOUT_FACTOR}")
    if(ARG_SEARCH_PORT)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK udp_search_port)
    endif()
    if(ARG_COST)
        set_tests_properties(${name} PROPERTIES COST ${ARG_COST})
    endif()
endfunction()
