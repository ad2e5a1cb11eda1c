#include "gui/win32/automation/automation_server.h"

#include "gui/win32/automation/automation_state.h"
#include "gui/win32/automation/class_factory.h"
#include "gui/win32/automation/class_registration.h"

#include <objbase.h>

namespace tavex {

// The state is shared with the factory and with every object, so that an
// object a client still holds when the program ends (its stub is released
// as OLE shuts down) finds it in place.
struct AutomationServer::Impl {
    std::shared_ptr<AutomationState> state = std::make_shared<AutomationState>();
    AutomationClassFactory* factory = AutomationClassFactory::Create(state);
    DWORD registration = 0;
    bool registered = false;
};

AutomationServer::AutomationServer() : impl_(std::make_unique<Impl>()) {}

AutomationServer::~AutomationServer()
{
    if (impl_->registered) {
        CoRevokeClassObject(impl_->registration);
    }
    if (impl_->factory != nullptr) {
        impl_->factory->Release();
    }
}

void AutomationServer::Start(bool startedByAutomation)
{
    if (!startedByAutomation) {
        RefreshClassEntries();
        return;
    }
    impl_->state->MarkStartedByAutomation();
    if (impl_->factory != nullptr && !impl_->registered) {
        impl_->registered = SUCCEEDED(CoRegisterClassObject(kAutomationClassId, impl_->factory, CLSCTX_LOCAL_SERVER,
                                                            REGCLS_SINGLEUSE, &impl_->registration));
    }
}

void AutomationServer::SetMainWindow(HWND mainWindow)
{
    impl_->state->SetMainWindow(mainWindow);
}

} // namespace tavex
