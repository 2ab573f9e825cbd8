#pragma once

#include <QString>

// The run of zeros that brings n to width digits; a longer number gets none.
QString zeroPrefix(int width, long long n);
// The pattern that the filter entry at position gives the file list; empty for no entry.
QString filterPattern(int position);
