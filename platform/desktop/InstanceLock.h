#pragma once

#include <memory>

class QSocketNotifier;

// The single-instance lock, held for the life of the process and released by the system when
// the process ends, also by a crash, so that a lock never stays stuck. It is two locks: a file
// lock in a folder that only this user can write (the runtime folder, else numbrella/ in the
// user's cache folder, made with mode 0700 where missing; never a shared folder, where another
// user could take it first), and a name of this user's in the system's abstract socket
// namespace, which needs no folder at all. Either one held by another instance is enough, so a
// second start finds the first also where the file cannot be locked.
class InstanceLock
{
public:
    InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock();

    // Takes the lock for this process. False when another instance of this user holds it; a
    // lock that cannot be made at all, or a name that another user holds, does not stop the
    // start. Once held, true again.
    bool take();

private:
    int fd_ = -1;
    int socket_ = -1;
    // Takes and drops the connections of later starts, so that they never queue up.
    std::unique_ptr<QSocketNotifier> notifier_;
};
