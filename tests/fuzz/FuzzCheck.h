#pragma once
// The fuzz targets' assertion: it holds in every build (NDEBUG or not) and aborts, which
// the fuzzer reports with the input that broke it.
#include <cstdio>
#include <cstdlib>

#define Check(cond)                                                                 \
    do {                                                                            \
        if (!(cond)) {                                                              \
            std::fprintf(stderr, "check failed at line %d: %s\n", __LINE__, #cond); \
            std::abort();                                                           \
        }                                                                           \
    } while (0)
