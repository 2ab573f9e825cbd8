#pragma once

#include <QString>
#include <cstdint>

// The ways to rename without replacing, in the order they are tried: each later one serves a
// file system that refuses the one before. The last is learnt, never tried: a file system whose
// plain rename refused to replace even our placeholder refuses a taken name by itself.
enum class RenameMethod : unsigned char { NoReplace, Link, Placeholder, RenameRefuses };

// What one renaming run has learnt of the drive it renames on: the method that drive takes, so
// that its later files go straight to it. It belongs to the drive's identity (device and
// mount), never to a path, and lives only as long as the run: a card mounted in the same place
// later, or the same drive in a later run, is learnt afresh.
struct RenameRun
{
    bool known = false;
    std::uint64_t device = 0;
    std::uint64_t mount = 0;
    RenameMethod method = RenameMethod::NoReplace;
};

// Renames a file within its folder and never replaces, moves or copies anything. The paths are
// held as nameFromBytes holds them, so the old name's exact bytes are renamed; the new name
// must be text. Throws
// PlatformError with a Japanese reason on refusal. A rename to the very same path succeeds
// without doing anything.
void renameFileNoReplace(const QString& oldPath, const QString& newPath, RenameRun& run);
// The same as a run of its own.
void renameFileNoReplace(const QString& oldPath, const QString& newPath);
