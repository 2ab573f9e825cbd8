/* bare_list [--icu] FOLDER PATTERN...: readdir + match + natural sort, or with --icu the sort
 * by ICU's Japanese sort keys; prints the count and the time the work took in milliseconds.
 * For bench/blackbox.py. */
#include "plain_list_icu.h"
#include "plain_work.h"

#include <time.h>

int main(int argc, char** argv)
{
    const int icu = argc > 1 && strcmp(argv[1], "--icu") == 0;
    argc -= icu;
    argv += icu;
    if (argc < 3)
        return 2;
    /* Made before the clock starts, as the program makes its collator once. */
    UCollator* collator = icu ? plain_collator() : NULL;
    struct timespec t0, t1;
    clock_gettime(CLOCK_MONOTONIC, &t0);
    char** names;
    size_t n = icu
        ? plain_list_icu(collator, argv[1], (const char* const*)argv + 2, argc - 2, &names)
        : plain_list(argv[1], (const char* const*)argv + 2, argc - 2, &names);
    clock_gettime(CLOCK_MONOTONIC, &t1);
    printf("count=%zu work_ms=%.3f\n", n,
           (t1.tv_sec - t0.tv_sec) * 1e3 + (t1.tv_nsec - t0.tv_nsec) / 1e6);
    return 0;
}
