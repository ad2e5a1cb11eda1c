// The automation object's interfaces and its empty dispatch table, and what
// its class factory makes and refuses.

#include "automation_support.h"
#include "gui/win32/automation/automation_object.h"
#include "gui/win32/automation/automation_server.h"
#include "gui/win32/automation/automation_state.h"
#include "gui/win32/automation/class_factory.h"

#include <gtest/gtest.h>

#include <oaidl.h>
#include <objidl.h>
#include <ocidl.h>

namespace tavex {
namespace {

using test::ComHeld;

// IDispatchEx, {A6EF9860-C720-11D0-9337-00A0C90DCAA9}, which the toolchain's
// uuid library lacks.
constexpr GUID kDispatchExId = {0xa6ef9860, 0xc720, 0x11d0, {0x93, 0x37, 0x00, 0xa0, 0xc9, 0x0d, 0xca, 0xa9}};
// {0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}, an interface nobody has.
constexpr GUID kStrangerId = {0x0f1e2d3c, 0x4b5a, 0x6978, {0x87, 0x96, 0xa5, 0xb4, 0xc3, 0xd2, 0xe1, 0xf0}};

struct InterfaceCase {
    const char* name;
    IID id;
    bool answered;
};

const InterfaceCase kObjectInterfaces[] = {
    {"IUnknown", IID_IUnknown, true},
    {"IDispatch", IID_IDispatch, true},
    {"the dispatch interface id", kAutomationDispatchId, true},
    {"the class id", kAutomationClassId, false},
    {"IClassFactory", IID_IClassFactory, false},
    {"IDispatchEx", kDispatchExId, false},
    {"IMarshal", IID_IMarshal, false},
    {"IProvideClassInfo", IID_IProvideClassInfo, false},
    {"IPersist", IID_IPersist, false},
    {"a stranger", kStrangerId, false},
};

struct ObjectFixture : testing::Test {
    std::shared_ptr<AutomationState> state = std::make_shared<AutomationState>();
    ComHeld<IDispatch> object{AutomationObject::Create(state)};
};

using AutomationObjectInterfaces = ObjectFixture;

TEST_F(AutomationObjectInterfaces, AnswersForIUnknownIDispatchAndItsDispatchIdOnly)
{
    ASSERT_NE(object, nullptr);
    for (const InterfaceCase& entry : kObjectInterfaces) {
        SCOPED_TRACE(entry.name);
        void* answer = reinterpret_cast<void*>(1);
        const HRESULT result = object->QueryInterface(entry.id, &answer);
        if (entry.answered) {
            ASSERT_EQ(result, S_OK);
            // One object behind every interface, and a reference given out.
            EXPECT_EQ(answer, static_cast<void*>(object.get()));
            static_cast<IUnknown*>(answer)->Release();
        } else {
            EXPECT_EQ(result, E_NOINTERFACE);
            EXPECT_EQ(answer, nullptr);
        }
    }
    EXPECT_EQ(object->QueryInterface(IID_IDispatch, nullptr), E_POINTER);
    EXPECT_EQ(state->Count(), 1);
}

TEST_F(AutomationObjectInterfaces, HasNoTypeInformationNamesOrMembers)
{
    UINT typeInfoCount = 7;
    EXPECT_EQ(object->GetTypeInfoCount(&typeInfoCount), S_OK);
    EXPECT_EQ(typeInfoCount, 0u);
    ITypeInfo* typeInfo = reinterpret_cast<ITypeInfo*>(1);
    EXPECT_EQ(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, &typeInfo), DISP_E_BADINDEX);
    EXPECT_EQ(typeInfo, nullptr);

    wchar_t visible[] = L"Visible";
    wchar_t quit[] = L"Quit";
    wchar_t empty[] = L"";
    LPOLESTR names[] = {visible, quit, empty};
    DISPID ids[] = {1, 2, 3};
    EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 3, LOCALE_USER_DEFAULT, ids), DISP_E_UNKNOWNNAME);
    for (DISPID id : ids) {
        EXPECT_EQ(id, DISPID_UNKNOWN);
    }

    const struct {
        DISPID member;
        WORD flags;
    } calls[] = {
        {DISPID_VALUE, DISPATCH_PROPERTYGET},
        {DISPID_VALUE, DISPATCH_METHOD},
        {1, DISPATCH_METHOD},
        {DISPID_NEWENUM, DISPATCH_METHOD | DISPATCH_PROPERTYGET},
        {DISPID_UNKNOWN, DISPATCH_PROPERTYPUT},
    };
    for (const auto& call : calls) {
        SCOPED_TRACE(call.member);
        DISPPARAMS noArguments = {nullptr, nullptr, 0, 0};
        VARIANT result;
        VariantInit(&result);
        EXPECT_EQ(object->Invoke(call.member, IID_NULL, LOCALE_USER_DEFAULT, call.flags, &noArguments, &result,
                                 nullptr, nullptr),
                  DISP_E_MEMBERNOTFOUND);
        EXPECT_EQ(result.vt, VT_EMPTY);
    }
}

struct FactoryFixture : testing::Test {
    std::shared_ptr<AutomationState> state = std::make_shared<AutomationState>();
    ComHeld<IClassFactory> factory{AutomationClassFactory::Create(state)};
};

using AutomationClassFactoryRules = FactoryFixture;

TEST_F(AutomationClassFactoryRules, MakesAnObjectForEachInterfaceTheObjectAnswersFor)
{
    for (const InterfaceCase& entry : kObjectInterfaces) {
        SCOPED_TRACE(entry.name);
        void* made = reinterpret_cast<void*>(1);
        const HRESULT result = factory->CreateInstance(nullptr, entry.id, &made);
        if (entry.answered) {
            ASSERT_EQ(result, S_OK);
            ASSERT_NE(made, nullptr);
            EXPECT_EQ(state->Count(), 1);
            static_cast<IUnknown*>(made)->Release();
        } else {
            // Refused before an object was made: nothing lived, so nothing
            // came to an end.
            EXPECT_EQ(result, E_NOINTERFACE);
            EXPECT_EQ(made, nullptr);
        }
        EXPECT_EQ(state->Count(), 0);
    }
}

TEST_F(AutomationClassFactoryRules, RefusesAggregationAndANullAnswer)
{
    ComHeld<IDispatch> outer{AutomationObject::Create(state)};
    void* made = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(outer.get(), IID_IUnknown, &made), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(made, nullptr);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, nullptr), E_POINTER);
    EXPECT_EQ(state->Count(), 1);
}

TEST_F(AutomationClassFactoryRules, AnswersForIUnknownAndIClassFactoryOnly)
{
    const struct {
        const char* name;
        IID id;
        bool answered;
    } cases[] = {
        {"IUnknown", IID_IUnknown, true},
        {"IClassFactory", IID_IClassFactory, true},
        {"IClassFactory2", IID_IClassFactory2, false},
        {"IDispatch", IID_IDispatch, false},
        {"the dispatch interface id", kAutomationDispatchId, false},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        void* answer = reinterpret_cast<void*>(1);
        const HRESULT result = factory->QueryInterface(entry.id, &answer);
        EXPECT_EQ(result, entry.answered ? S_OK : E_NOINTERFACE);
        if (entry.answered) {
            EXPECT_EQ(answer, static_cast<void*>(factory.get()));
            static_cast<IUnknown*>(answer)->Release();
        } else {
            EXPECT_EQ(answer, nullptr);
        }
    }
}

} // namespace
} // namespace tavex
