#pragma once

// What the automation objects share with the program: how many of them live,
// whether the program is under user control, and its main window. When the
// last object goes from a program that automation started, the program is
// handed to the user and its main window closed.

#include "platform/win32/windows_api.h"

#include <vector>

namespace tavex {

class AutomationObject;

// Lives on the program's one thread, where every call of a client arrives
// through the message loop; it takes no locks.
class AutomationState {
public:
    // A plain start is under user control; automation takes it away.
    void MarkStartedByAutomation() { userControl_ = false; }
    bool UnderUserControl() const { return userControl_; }

    // The window new objects stand for; null while there is none. Objects
    // that stood for the window before lose it.
    void SetMainWindow(HWND mainWindow);
    HWND MainWindow() const { return mainWindow_; }

    // A new object counts as living and is told the window it stands for;
    // a destroyed one no longer counts.
    HWND ObjectCreated(AutomationObject& object);
    void ObjectDestroyed(AutomationObject& object);

    // The count of living objects, which a client's lock on the class
    // object holds as well. An unlock with nothing locked is ignored. When
    // the count comes down to zero under automation control, the program
    // goes to user control and then: an enabled main window is sent
    // WM_CLOSE, as its close button would; a disabled one (a modal box is
    // open) stays; with no main window at all the thread is asked to quit.
    void Lock();
    void Unlock();
    long Count() const { return count_; }

private:
    bool userControl_ = true;
    HWND mainWindow_ = nullptr;
    long count_ = 0;
    std::vector<AutomationObject*> objects_;
};

} // namespace tavex
