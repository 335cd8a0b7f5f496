#pragma once

#include <cstdio>
#include <cstdlib>

// A broken promise of the code under test: print it and abort, so libFuzzer keeps the input as a
// crash and the corpus replay test fails on it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
