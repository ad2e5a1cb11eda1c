#include "gui/win32/automation/class_factory.h"

#include "gui/win32/automation/automation_object.h"
#include "gui/win32/automation/automation_state.h"

#include <new>
#include <utility>

namespace tavex {

AutomationClassFactory* AutomationClassFactory::Create(std::shared_ptr<AutomationState> state)
{
    try {
        return new AutomationClassFactory(std::move(state));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

AutomationClassFactory::AutomationClassFactory(std::shared_ptr<AutomationState> state) : state_(std::move(state)) {}

HRESULT STDMETHODCALLTYPE AutomationClassFactory::QueryInterface(REFIID interfaceId, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    if (!IsEqualIID(interfaceId, IID_IUnknown) && !IsEqualIID(interfaceId, IID_IClassFactory)) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE AutomationClassFactory::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE AutomationClassFactory::Release()
{
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE AutomationClassFactory::CreateInstance(IUnknown* outer, REFIID interfaceId, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    if (!AutomationObject::Answers(interfaceId)) {
        return E_NOINTERFACE;
    }
    AutomationObject* made = AutomationObject::Create(state_);
    if (made == nullptr) {
        return E_OUTOFMEMORY;
    }
    const HRESULT answer = made->QueryInterface(interfaceId, object);
    made->Release();
    return answer;
}

HRESULT STDMETHODCALLTYPE AutomationClassFactory::LockServer(BOOL lock)
{
    if (lock) {
        state_->Lock();
    } else {
        state_->Unlock();
    }
    return S_OK;
}

} // namespace tavex
