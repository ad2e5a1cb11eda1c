#include "serial/win32/port_claim.h"

#include <algorithm>

namespace tavex {

std::wstring PortClaimName(const std::string& device)
{
    std::wstring name = WideFromUtf8(device);
    std::replace(name.begin(), name.end(), L'\\', L'/');
    return L"Global\\TavexDL.port." + name;
}

PortClaimResult PortClaim::Claim(const std::string& device)
{
    Release();
    const HANDLE object = CreateMutexW(nullptr, FALSE, PortClaimName(device).c_str());
    if (object == nullptr) {
        return PortClaimResult::kNotSupported;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(object);
        return PortClaimResult::kHeldElsewhere;
    }
    object_ = object;
    return PortClaimResult::kClaimed;
}

void PortClaim::Release()
{
    if (object_ != nullptr) {
        CloseHandle(object_);
        object_ = nullptr;
    }
}

} // namespace tavex
