/* bare_rename FOLDER FROM TO COUNT WIDTH EXT: the bare renameat2 loop, for bench/blackbox.py. */
#include "plain_work.h"

int main(int argc, char** argv)
{
    if (argc != 7)
        return 2;
    int count = atoi(argv[4]);
    return plain_rename_loop(argv[1], argv[2], argv[3], count, atoi(argv[5]), argv[6]) == count ? 0
                                                                                                : 1;
}
