#pragma once

// Qt writes a window title's legacy X property (WM_NAME) in the C library's character
// encoding, so under a locale that is not UTF-8 (none set at all, as in a container, a chroot
// or over ssh) the Japanese titles reach window managers and tools garbled. Qt holds all text
// as UTF-8 anyway, so only the character type switches to UTF-8; messages, numbers and
// sorting keep the user's locale. Call it after QApplication's constructor, which sets the
// locale from the environment.
void useUtf8CharacterType();
