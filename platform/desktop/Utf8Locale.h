#pragma once

// Qt writes a window title's legacy X property (WM_NAME) in the C library's character
// encoding, so under a locale that is not UTF-8 (none set at all, as in a container, a chroot
// or over ssh) the Japanese titles reach window managers and tools garbled, and Qt 6.8 warns
// at every start. Qt holds all text as UTF-8 anyway, so only the character type switches to
// UTF-8; messages, numbers and sorting keep the user's locale. Call it before the application
// object is made: that sets the locale from the environment, which this adjusts.
void useUtf8CharacterType();
