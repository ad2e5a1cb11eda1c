#pragma once

// The automation object: it stands for the main window and has no members.
// It answers for IUnknown, IDispatch and its own dispatch interface; its
// dispatch table is empty. While it lives it counts among the program's
// living objects, which keep a program started by automation running.

#include "platform/win32/windows_api.h"

#include <oaidl.h>

#include <memory>

namespace tavex {

class AutomationState;

class AutomationObject final : public IDispatch {
public:
    // Made with one reference, which the caller owns; null when memory ran
    // out. It takes the main window of the moment; made while there is none
    // (a client's request while the start-up reminder is open), it stands
    // for no window, also once one comes, but counts as living all the same.
    static AutomationObject* Create(std::shared_ptr<AutomationState> state);

    // Whether the object answers for an interface.
    static bool Answers(REFIID interfaceId);

    // The window the object stands for: null once that window has gone.
    HWND Window() const { return window_; }
    void LoseWindow() { window_ = nullptr; }

    AutomationObject(const AutomationObject&) = delete;
    AutomationObject& operator=(const AutomationObject&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch, with nothing in it.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** typeInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID interfaceId, LPOLESTR* names, UINT nameCount, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID interfaceId, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

private:
    explicit AutomationObject(std::shared_ptr<AutomationState> state);
    ~AutomationObject();

    std::shared_ptr<AutomationState> state_;
    HWND window_ = nullptr;
    LONG references_ = 1;
};

} // namespace tavex
