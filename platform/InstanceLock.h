#pragma once

// Opens the single-instance lock file, creating it if needed, in a folder that only this user
// can write: the runtime folder, else numbrella/ in the user's cache folder (made with mode
// 0700 where missing). Returns its descriptor, or -1 where there is no such folder; never a
// shared folder, where another user could take the lock first.
int openInstanceLock();
