/* The bare work that the program's renaming and file list are measured against, written
 * plainly in C: no Qt, no code of the program. */
#ifndef PLAIN_WORK_H
#define PLAIN_WORK_H

#ifndef _GNU_SOURCE
#define _GNU_SOURCE
#endif
#include <ctype.h>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

/* Renames folder/FROM<n>.EXT to folder/TO<n>.EXT for n = 1..count, n zero-padded to width,
 * refusing to replace. Returns the number renamed. */
static inline int plain_rename_loop(const char* folder, const char* from, const char* to, int count,
                                    int width, const char* ext)
{
    char a[4096], b[4096];
    for (int n = 1; n <= count; ++n) {
        snprintf(a, sizeof a, "%s/%s%0*d.%s", folder, from, width, n, ext);
        snprintf(b, sizeof b, "%s/%s%0*d.%s", folder, to, width, n, ext);
        if (renameat2(AT_FDCWD, a, AT_FDCWD, b, RENAME_NOREPLACE) != 0)
            return n - 1;
    }
    return count;
}

/* Case-blind wildcard match with * and ?. */
static inline int plain_match(const char* p, const char* s)
{
    const char* star = NULL;
    const char* resume = NULL;
    while (*s) {
        if (*p == '?'
            || (*p && *p != '*' && tolower((unsigned char)*p) == tolower((unsigned char)*s))) {
            ++p;
            ++s;
        } else if (*p == '*') {
            star = p++;
            resume = s;
        } else if (star) {
            p = star + 1;
            s = ++resume;
        } else {
            return 0;
        }
    }
    while (*p == '*')
        ++p;
    return *p == 0;
}

/* Runs of digits by value, other bytes case-blind, ties by the bytes. */
static inline int plain_natural(const void* x, const void* y)
{
    const char* a = *(const char* const*)x;
    const char* b = *(const char* const*)y;
    const char* a0 = a;
    const char* b0 = b;
    while (*a && *b) {
        if (isdigit((unsigned char)*a) && isdigit((unsigned char)*b)) {
            while (*a == '0')
                ++a;
            while (*b == '0')
                ++b;
            size_t la = 0, lb = 0;
            while (isdigit((unsigned char)a[la]))
                ++la;
            while (isdigit((unsigned char)b[lb]))
                ++lb;
            if (la != lb)
                return la < lb ? -1 : 1;
            int c = memcmp(a, b, la);
            if (c)
                return c;
            a += la;
            b += lb;
            continue;
        }
        int ca = tolower((unsigned char)*a), cb = tolower((unsigned char)*b);
        if (ca != cb)
            return ca - cb;
        ++a;
        ++b;
    }
    if (*a || *b)
        return *a ? 1 : -1;
    return strcmp(a0, b0);
}

/* The folder's next regular file, not hidden, that matches one of the patterns; null at the
 * end. */
static inline struct dirent* plain_next_match(DIR* d, const char* const* patterns, int npatterns)
{
    struct dirent* e;
    while ((e = readdir(d))) {
        if (e->d_name[0] == '.')
            continue;
        int hit = 0;
        for (int i = 0; i < npatterns && !hit; ++i)
            hit = plain_match(patterns[i], e->d_name);
        if (!hit)
            continue;
        if (e->d_type != DT_REG) {
            struct stat st;
            if (e->d_type != DT_LNK && e->d_type != DT_UNKNOWN)
                continue;
            if (fstatat(dirfd(d), e->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode))
                continue;
        }
        return e;
    }
    return NULL;
}

/* The folder's regular files that match one of the patterns, in natural order. The caller
 * frees each name and the array. */
static inline size_t plain_list(const char* folder, const char* const* patterns, int npatterns,
                                char*** out)
{
    size_t n = 0, cap = 1024;
    char** names = (char**)malloc(cap * sizeof *names);
    DIR* d = opendir(folder);
    if (!d) {
        *out = names;
        return 0;
    }
    struct dirent* e;
    while ((e = plain_next_match(d, patterns, npatterns))) {
        if (n == cap)
            names = (char**)realloc(names, (cap *= 2) * sizeof *names);
        names[n++] = strdup(e->d_name);
    }
    closedir(d);
    qsort(names, n, sizeof *names, plain_natural);
    *out = names;
    return n;
}

#endif
