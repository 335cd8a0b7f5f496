# `-DQUILLON_SANITIZE=ON` builds everything (libraries, the programs, the tools the tests start and
# the tests themselves) with AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer, so that
# one ctest run checks the whole suite for memory faults, leaks and undefined behaviour. It is meant
# for clang (`./run.sh sanitize`); the normal build does not change.
option(QUILLON_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

# Tests are slower under the sanitizers; their ctest time limits are multiplied by this factor.
set(QUILLON_TEST_TIMEOUT_FACTOR 1 CACHE STRING "Multiplier for every test's ctest time limit")

if(QUILLON_SANITIZE)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(WARNING "QUILLON_SANITIZE is meant for clang; ${CMAKE_CXX_COMPILER_ID} may report differently")
    endif()
    # A UB report must fail the test that caused it instead of scrolling past in its output.
    set(sanitizeFlags -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    # ASan cannot see a read past a container's end that stays within its allocated capacity, nor
    # an out-of-range index that lands in another live object; Qt's container assertions and
    # libstdc++'s can. The release configurations define QT_NO_DEBUG, which turns them off.
    add_compile_options(${sanitizeFlags} -UQT_NO_DEBUG -D_GLIBCXX_ASSERTIONS)
    add_link_options(-fsanitize=address,undefined)
endif()
