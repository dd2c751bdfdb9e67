#include "platform/com/status.h"

#include <cerrno>
#include <cstring>

namespace com {

HRESULT hresultFromErrno(int error, HRESULT fallback) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return STG_E_FILENOTFOUND;
        case EACCES:
        case EPERM:
        case EROFS:
            return STG_E_ACCESSDENIED;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return STG_E_MEDIUMFULL;
        case ENOMEM:
            return E_OUTOFMEMORY;
        default:
            return fallback;
    }
}

std::string errnoReason(const std::string& what, int error) {
    return what + ": " + std::strerror(error);
}

}  // namespace com
