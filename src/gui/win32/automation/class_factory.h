#pragma once

// The class object of "TavexDL.Application": it makes automation objects for
// clients, and a client's lock on it holds the program as a living object
// does.

#include "platform/win32/windows_api.h"

#include <unknwn.h>

#include <memory>

namespace tavex {

class AutomationState;

class AutomationClassFactory final : public IClassFactory {
public:
    // Made with one reference, which the caller owns; null when memory ran
    // out.
    static AutomationClassFactory* Create(std::shared_ptr<AutomationState> state);

    AutomationClassFactory(const AutomationClassFactory&) = delete;
    AutomationClassFactory& operator=(const AutomationClassFactory&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IClassFactory. An interface the object does not answer for is refused
    // before an object is made, so a wrong request neither counts as a
    // living object nor, by its object's end, closes the program.
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID interfaceId, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    explicit AutomationClassFactory(std::shared_ptr<AutomationState> state);
    ~AutomationClassFactory() = default;

    std::shared_ptr<AutomationState> state_;
    LONG references_ = 1;
};

} // namespace tavex
