#pragma once

#include <chrono>
#include <string>
#include <sys/stat.h>

#include "shell/linux/posix_io.h"

namespace velmora::linux_platform {

// How long a replacement waits for another replacement of the same file (a second switch of `hosts`) to end
// before it gives up with the run-time error report.
inline constexpr std::chrono::milliseconds kReplacementLockWait{5000};

// Opens an existing ordinary file for reading and writing (as OpenOrdinaryFileIfPresent) and takes the lock
// that serializes every replacement of it: an exclusive open-file-description write lock on the file
// itself. Only a user who may write the file can take such a lock (it needs a descriptor open for writing),
// so every user who may switch takes it, whichever path the switch goes (renamed over, rewritten in place
// with or without a journal), readers cannot hold switches up, and no lock file is needed beside it.
//
// A replacement that renames a new file over the old one leaves the lock on a file that is no longer under
// the name; so after the lock is taken the name is looked at again, and when it stands for another file
// now, that one is opened and locked instead. The lock lasts as long as the descriptor is open.
//
// Waits up to kReplacementLockWait for another holder, then throws RuntimeError (File already open) saying
// that another switch of the file is in progress. A name that stands for nothing gives an invalid
// descriptor (nothing to lock: a new file is created by a rename, which is whole at once). Where the file
// system has no such locks, the file is opened without one rather than not at all.
FileDescriptor OpenLockedForReplacement(const std::string& path, struct stat& status);

}  // namespace velmora::linux_platform
