#include <cstdio>

// The editor window is not built yet: say so and fail, rather than pretend.
int main()
{
    std::fprintf(stderr, "fretly: the editor window is not built yet; run the tests instead.\n");
    return 1;
}
