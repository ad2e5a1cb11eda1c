// The living objects' count, and what the last one's release does to the
// program: closing its main window when automation started it and the window
// is enabled, nothing when the user has it.

#include "automation_support.h"
#include "gui/win32/automation/automation_object.h"
#include "gui/win32/automation/automation_state.h"
#include "gui/win32/automation/class_factory.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

using test::ComHeld;
using test::DropPosted;
using test::HiddenWindow;
using test::TakePosted;

enum class Window { None, Enabled, Disabled };

struct CloseFixture : testing::Test {
    CloseFixture() { DropPosted(); }
    ~CloseFixture() override { DropPosted(); }

    ComHeld<IDispatch> MakeObject()
    {
        void* made = nullptr;
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, &made), S_OK);
        return ComHeld<IDispatch>(static_cast<IDispatch*>(made));
    }

    HiddenWindow window;
    std::shared_ptr<AutomationState> state = std::make_shared<AutomationState>();
    ComHeld<IClassFactory> factory{AutomationClassFactory::Create(state)};
};

using AutomationLastRelease = CloseFixture;

TEST_F(AutomationLastRelease, CountsTheLivingObjectsAndActsOnlyWhenTheLastGoes)
{
    ASSERT_NE(window.Handle(), nullptr);
    state->MarkStartedByAutomation();
    state->SetMainWindow(window.Handle());
    ComHeld<IDispatch> first = MakeObject();
    ComHeld<IDispatch> second = MakeObject();
    EXPECT_EQ(state->Count(), 2);

    // More references to one object are still one object.
    first->AddRef();
    first->Release();
    second.reset();
    EXPECT_EQ(state->Count(), 1);
    EXPECT_FALSE(TakePosted(nullptr, WM_QUIT));
    EXPECT_FALSE(TakePosted(window.Handle(), WM_CLOSE));
    EXPECT_FALSE(state->UnderUserControl());

    first.reset();
    EXPECT_EQ(state->Count(), 0);
    EXPECT_TRUE(TakePosted(window.Handle(), WM_CLOSE));
    EXPECT_TRUE(state->UnderUserControl());
}

TEST_F(AutomationLastRelease, ClosesOnlyAnEnabledMainWindowOfAProgramAutomationStarted)
{
    const struct {
        const char* name;
        bool startedByAutomation;
        Window window;
        bool closed;
        bool quit;
    } cases[] = {
        {"automation, enabled window", true, Window::Enabled, true, false},
        {"automation, disabled window (a modal box open)", true, Window::Disabled, false, false},
        {"automation, no window yet or any more", true, Window::None, false, true},
        {"user, enabled window", false, Window::Enabled, false, false},
        {"user, disabled window", false, Window::Disabled, false, false},
        {"user, no window", false, Window::None, false, false},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        auto caseState = std::make_shared<AutomationState>();
        ComHeld<IClassFactory> caseFactory{AutomationClassFactory::Create(caseState)};
        if (entry.startedByAutomation) {
            caseState->MarkStartedByAutomation();
        }
        if (entry.window != Window::None) {
            caseState->SetMainWindow(window.Handle());
        }
        EnableWindow(window.Handle(), entry.window == Window::Disabled ? FALSE : TRUE);

        void* made = nullptr;
        ASSERT_EQ(caseFactory->CreateInstance(nullptr, IID_IDispatch, &made), S_OK);
        static_cast<IDispatch*>(made)->Release();

        EXPECT_EQ(TakePosted(nullptr, WM_QUIT), entry.quit);
        EXPECT_EQ(TakePosted(window.Handle(), WM_CLOSE), entry.closed);
        // Once its last object has gone, the program is the user's.
        EXPECT_TRUE(caseState->UnderUserControl());
        EXPECT_TRUE(IsWindow(window.Handle()));
        DropPosted();
    }
    EnableWindow(window.Handle(), TRUE);
}

TEST_F(AutomationLastRelease, AProgramKeptOpenByAModalBoxStaysTheUsers)
{
    state->MarkStartedByAutomation();
    state->SetMainWindow(window.Handle());
    EnableWindow(window.Handle(), FALSE);
    MakeObject().reset();
    EXPECT_FALSE(TakePosted(nullptr, WM_QUIT));
    EXPECT_FALSE(TakePosted(window.Handle(), WM_CLOSE));
    EXPECT_TRUE(state->UnderUserControl());

    // The box is closed; a client comes and goes: the window stays.
    EnableWindow(window.Handle(), TRUE);
    MakeObject().reset();
    EXPECT_FALSE(TakePosted(nullptr, WM_QUIT));
    EXPECT_FALSE(TakePosted(window.Handle(), WM_CLOSE));
}

TEST_F(AutomationLastRelease, AClientsLockOnTheClassHoldsTheProgramLikeAnObject)
{
    state->MarkStartedByAutomation();
    state->SetMainWindow(window.Handle());

    // An unlock without a lock neither counts nor ends anything.
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(state->Count(), 0);
    EXPECT_FALSE(TakePosted(nullptr, WM_QUIT));
    EXPECT_FALSE(TakePosted(window.Handle(), WM_CLOSE));
    EXPECT_FALSE(state->UnderUserControl());

    ComHeld<IDispatch> object = MakeObject();
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    object.reset();
    EXPECT_EQ(state->Count(), 1);
    EXPECT_FALSE(TakePosted(nullptr, WM_QUIT));
    EXPECT_FALSE(TakePosted(window.Handle(), WM_CLOSE));

    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(state->Count(), 0);
    EXPECT_TRUE(TakePosted(window.Handle(), WM_CLOSE));
}

using AutomationObjectWindow = CloseFixture;

TEST_F(AutomationObjectWindow, StandsForTheMainWindowOfItsMakingUntilThatWindowGoes)
{
    state->SetMainWindow(window.Handle());
    ComHeld<IDispatch> object = MakeObject();
    auto* made = static_cast<AutomationObject*>(object.get());
    EXPECT_EQ(made->Window(), window.Handle());

    state->SetMainWindow(nullptr);
    EXPECT_EQ(made->Window(), nullptr);
    EXPECT_EQ(state->MainWindow(), nullptr);
}

TEST_F(AutomationObjectWindow, MadeBeforeAnyMainWindowItStandsForNoneYetCountsAndCloses)
{
    // A client's request while the start-up reminder is open.
    state->MarkStartedByAutomation();
    ComHeld<IDispatch> object = MakeObject();
    auto* made = static_cast<AutomationObject*>(object.get());
    EXPECT_EQ(made->Window(), nullptr);
    EXPECT_EQ(state->Count(), 1);

    state->SetMainWindow(window.Handle());
    EXPECT_EQ(made->Window(), nullptr);

    // Its release closes the main window there is by then.
    object.reset();
    EXPECT_TRUE(TakePosted(window.Handle(), WM_CLOSE));
}

TEST_F(AutomationObjectWindow, OutlivesTheServersStateHolder)
{
    // The program's end drops its hold on the shared state while a client
    // still holds an object; that object's late release finds the state.
    state->MarkStartedByAutomation();
    ComHeld<IDispatch> object = MakeObject();
    factory.reset();
    std::weak_ptr<AutomationState> watched = state;
    state.reset();
    EXPECT_FALSE(watched.expired());
    object.reset();
    EXPECT_TRUE(watched.expired());
    EXPECT_TRUE(TakePosted(nullptr, WM_QUIT));
}

} // namespace
} // namespace tavex
