#pragma once

// The single-instance lock, held for the life of the process and released by the system when
// the process ends, also by a crash, so that a lock never stays stuck. It lives in a folder that
// only this user can write: the runtime folder, else numbrella/ in the user's cache folder
// (made with mode 0700 where missing); never a shared folder, where another user could take
// it first.
class InstanceLock
{
public:
    InstanceLock() = default;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock();

    // Takes the lock for this process. False when another instance holds it; a lock that
    // cannot be made at all does not stop the start. Once held, true again.
    bool take();

private:
    int fd_ = -1;
};
