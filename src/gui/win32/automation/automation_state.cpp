#include "gui/win32/automation/automation_state.h"

#include "gui/win32/automation/automation_object.h"

#include <algorithm>

namespace tavex {

void AutomationState::SetMainWindow(HWND mainWindow)
{
    if (mainWindow == mainWindow_) {
        return;
    }
    for (AutomationObject* object : objects_) {
        if (object->Window() == mainWindow_) {
            object->LoseWindow();
        }
    }
    mainWindow_ = mainWindow;
}

HWND AutomationState::ObjectCreated(AutomationObject& object)
{
    objects_.push_back(&object);
    Lock();
    return mainWindow_;
}

void AutomationState::ObjectDestroyed(AutomationObject& object)
{
    objects_.erase(std::remove(objects_.begin(), objects_.end(), &object), objects_.end());
    Unlock();
}

void AutomationState::Lock()
{
    ++count_;
}

void AutomationState::Unlock()
{
    if (count_ == 0) {
        return;
    }
    if (--count_ > 0 || userControl_) {
        return;
    }
    userControl_ = true;
    if (mainWindow_ == nullptr) {
        PostQuitMessage(0);
    } else if (IsWindowEnabled(mainWindow_)) {
        // Posted, not destroyed here: the window ends through its own close
        // handling once this client call has returned, and a download that
        // is running ends with its end-of-table instead of being cut off.
        PostMessageW(mainWindow_, WM_CLOSE, 0, 0);
    }
}

} // namespace tavex
