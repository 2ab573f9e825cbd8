/* bare_list FOLDER PATTERN...: readdir + match + natural sort; prints the count and the time
 * the work took in milliseconds. For bench/blackbox.py. */
#include "plain_work.h"

#include <time.h>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    struct timespec t0, t1;
    clock_gettime(CLOCK_MONOTONIC, &t0);
    char** names;
    size_t n = plain_list(argv[1], (const char* const*)argv + 2, argc - 2, &names);
    clock_gettime(CLOCK_MONOTONIC, &t1);
    printf("count=%zu work_ms=%.3f\n", n,
           (t1.tv_sec - t0.tv_sec) * 1e3 + (t1.tv_nsec - t0.tv_nsec) / 1e6);
    return 0;
}
