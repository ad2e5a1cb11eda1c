#include "gui/win32/automation/automation_object.h"

#include "gui/win32/automation/automation_server.h"
#include "gui/win32/automation/automation_state.h"

#include <new>
#include <utility>

namespace tavex {

AutomationObject* AutomationObject::Create(std::shared_ptr<AutomationState> state)
{
    try {
        return new AutomationObject(std::move(state));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool AutomationObject::Answers(REFIID interfaceId)
{
    return IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, IID_IDispatch) ||
           IsEqualIID(interfaceId, kAutomationDispatchId);
}

AutomationObject::AutomationObject(std::shared_ptr<AutomationState> state) : state_(std::move(state))
{
    window_ = state_->ObjectCreated(*this);
}

AutomationObject::~AutomationObject()
{
    state_->ObjectDestroyed(*this);
}

HRESULT STDMETHODCALLTYPE AutomationObject::QueryInterface(REFIID interfaceId, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    if (!Answers(interfaceId)) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE AutomationObject::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE AutomationObject::Release()
{
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE AutomationObject::GetTypeInfoCount(UINT* count)
{
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE AutomationObject::GetTypeInfo(UINT, LCID, ITypeInfo** typeInfo)
{
    if (typeInfo == nullptr) {
        return E_POINTER;
    }
    *typeInfo = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE AutomationObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT nameCount, LCID, DISPID* ids)
{
    if (ids != nullptr) {
        for (UINT name = 0; name < nameCount; ++name) {
            ids[name] = DISPID_UNKNOWN;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

HRESULT STDMETHODCALLTYPE AutomationObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                                   UINT*)
{
    return DISP_E_MEMBERNOTFOUND;
}

} // namespace tavex
