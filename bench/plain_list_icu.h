/* The file list's work written plainly in C against ICU: readdir, match, a sort key from the
 * Japanese collator (numbers by value, letter case and width forms alike), qsort on the keys,
 * ties by the bytes. No Qt, no code of the program. */
#ifndef PLAIN_LIST_ICU_H
#define PLAIN_LIST_ICU_H

#include "plain_work.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

/* The collator the program's order is made with: Japanese, digits as numbers, case-blind. */
static inline UCollator* plain_collator(void)
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open("ja", &status);
    ucol_setAttribute(collator, UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
    ucol_setAttribute(collator, UCOL_STRENGTH, UCOL_SECONDARY, &status);
    if (U_FAILURE(status)) {
        fprintf(stderr, "ICU: %s\n", u_errorName(status));
        exit(1);
    }
    return collator;
}

struct plain_keyed
{
    char* name;
    uint8_t* key;
};

static inline int plain_keyed_compare(const void* x, const void* y)
{
    const struct plain_keyed* a = (const struct plain_keyed*)x;
    const struct plain_keyed* b = (const struct plain_keyed*)y;
    int c = strcmp((const char*)a->key, (const char*)b->key);
    return c ? c : strcmp(a->name, b->name);
}

/* The folder's regular files that match one of the patterns, in the collator's order. The
 * caller frees each name and the array. */
static inline size_t plain_list_icu(const UCollator* collator, const char* folder,
                                    const char* const* patterns, int npatterns, char*** out)
{
    size_t n = 0, cap = 1024;
    struct plain_keyed* items = (struct plain_keyed*)malloc(cap * sizeof *items);
    DIR* d = opendir(folder);
    if (!d) {
        free(items);
        *out = NULL;
        return 0;
    }
    struct dirent* e;
    UChar text[512];
    uint8_t key[4096];
    while ((e = plain_next_match(d, patterns, npatterns))) {
        UErrorCode status = U_ZERO_ERROR;
        int32_t length = 0;
        u_strFromUTF8WithSub(text, 512, &length, e->d_name, -1, 0xfffd, NULL, &status);
        int32_t size = ucol_getSortKey(collator, text, length, key, sizeof key);
        if (n == cap)
            items = (struct plain_keyed*)realloc(items, (cap *= 2) * sizeof *items);
        items[n].name = strdup(e->d_name);
        items[n].key = (uint8_t*)malloc((size_t)size);
        memcpy(items[n].key, key, (size_t)size);
        ++n;
    }
    closedir(d);
    qsort(items, n, sizeof *items, plain_keyed_compare);
    char** names = (char**)malloc((n ? n : 1) * sizeof *names);
    for (size_t i = 0; i < n; ++i) {
        names[i] = items[i].name;
        free(items[i].key);
    }
    free(items);
    *out = names;
    return n;
}

#endif
