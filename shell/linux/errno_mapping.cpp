#include "shell/linux/errno_mapping.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "shell/paths.h"

namespace velmora::linux_platform {

RuntimeErrorNumber ErrorNumberFromErrno(int error, bool parentDirectoryExists)
{
    switch (error) {
    case ENOENT: return parentDirectoryExists ? RuntimeErrorNumber::FileNotFound : RuntimeErrorNumber::PathNotFound;
    case ENOTDIR: return RuntimeErrorNumber::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EBUSY:
    case EAGAIN: return RuntimeErrorNumber::PermissionDenied;
    case EEXIST: return RuntimeErrorNumber::FileAlreadyExists;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return RuntimeErrorNumber::DiskFull;
    case EMFILE:
    case ENFILE: return RuntimeErrorNumber::TooManyFiles;
    case EIO: return RuntimeErrorNumber::DeviceIoError;
    case ENXIO:
    case ENODEV:
    case ESTALE:
    case ENOTCONN:
    case EHOSTDOWN: return RuntimeErrorNumber::DeviceUnavailable;
    case ENOMEDIUM: return RuntimeErrorNumber::DiskNotReady;
    case EXDEV: return RuntimeErrorNumber::RenameAcrossDrives;
    case ENAMETOOLONG:
    case EILSEQ: return RuntimeErrorNumber::BadFileNameOrNumber;
    case EBADF: return RuntimeErrorNumber::BadFileMode;
    case EINVAL: return RuntimeErrorNumber::InvalidProcedureCall;
    case ENOMEM: return RuntimeErrorNumber::OutOfMemory;
    default: return RuntimeErrorNumber::PathFileAccessError;
    }
}

namespace {

bool ParentDirectoryExists(const std::string& nativePath)
{
    const std::string folder = DirectoryPartOf(nativePath, kPosixSeparator);
    struct stat status {};
    return ::stat(folder.empty() ? "." : folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

RuntimeError ErrorFromErrno(int error, const std::string& nativePath)
{
    const bool parentExists = error != ENOENT || ParentDirectoryExists(nativePath);
    return RuntimeError(ErrorNumberFromErrno(error, parentExists), nativePath, std::strerror(error));
}

}  // namespace velmora::linux_platform
