// SPDX-License-Identifier: MIT
// The Win32 window as assistive technology learns of it, where Wine's own services tell nothing:
// stand-ins for the accessibility property service (here) and for UI Automation's core
// (automation_standin.hpp) record the names and descriptions the form gives its controls, held to
// the Linux window's, and what a press announces.
#include "automation_standin.hpp"
#include "counted_object.hpp"

#include "tests/conformance/win32_window.hpp"

#include "forms/win32/wide.hpp"
#include "forms/win32/win32_form.hpp"
#include "tests/support/spoken_names.hpp"
#include "ui/main_window.hpp"

#include <windows.h>

#include <gtest/gtest.h>
#include <initguid.h>
#include <oleacc.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using forms::Win32Form;
using forms::win32::widen;
using testing_support::pump;

// What the service was told of each control's name and description; and the controls whose
// annotations were taken back, with how many properties each time.
struct Told {
    std::map<HWND, std::vector<std::wstring>> names;
    std::map<HWND, std::vector<std::wstring>> descriptions;
    std::vector<std::pair<HWND, int>> cleared;
    int elsewhere = 0; // annotations of another property, or not of the control's own client object
};

Told g_told;

// The property service as the form meets it; only what a form of windows uses records anything.
class RecordingService final : public CountedObject<IAccPropServices, &IID_IAccPropServices> {
public:
    HRESULT STDMETHODCALLTYPE SetHwndPropStr(HWND window, DWORD object, DWORD child,
                                             MSAAPROPID property, LPCWSTR text) override
    {
        const bool name = IsEqualGUID(property, PROPID_ACC_NAME) != FALSE;
        if (object != static_cast<DWORD>(OBJID_CLIENT) || child != CHILDID_SELF
            || (!name && IsEqualGUID(property, PROPID_ACC_DESCRIPTION) == FALSE)) {
            ++g_told.elsewhere;
        }
        (name ? g_told.names : g_told.descriptions)[window].emplace_back(
            text != nullptr ? text : L"(null)");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ClearHwndProps(HWND window, DWORD /*object*/, DWORD /*child*/,
                                             const MSAAPROPID * /*properties*/, int count) override
    {
        g_told.cleared.emplace_back(window, count);
        return S_OK;
    }

    // What a form of windows has no use for.
    HRESULT STDMETHODCALLTYPE SetPropValue(const BYTE *, DWORD, MSAAPROPID, VARIANT) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetPropServer(const BYTE *, DWORD, const MSAAPROPID *, int,
                                            IAccPropServer *, AnnoScope) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ClearProps(const BYTE *, DWORD, const MSAAPROPID *, int) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHwndProp(HWND, DWORD, DWORD, MSAAPROPID, VARIANT) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID *, int,
                                                IAccPropServer *, AnnoScope) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE **,
                                                        DWORD *) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DecomposeHwndIdentityString(const BYTE *, DWORD, HWND *, DWORD *,
                                                          DWORD *) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID *, int,
                                                 IAccPropServer *, AnnoScope) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ClearHmenuProps(HMENU, DWORD, const MSAAPROPID *, int) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ComposeHmenuIdentityString(HMENU, DWORD, BYTE **, DWORD *) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DecomposeHmenuIdentityString(const BYTE *, DWORD, HMENU *,
                                                           DWORD *) override
    {
        return E_NOTIMPL;
    }

private:
    ~RecordingService() override = default;
};

class RecordingFactory final : public CountedObject<IClassFactory, &IID_IClassFactory> {
public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID iid, void **object) override
    {
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        auto *service = new RecordingService;
        const HRESULT found = service->QueryInterface(iid, object);
        service->Release();
        return found;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL /*lock*/) override { return S_OK; }

private:
    ~RecordingFactory() override = default;
};

// The stand-in takes the service's place for this thread while it lives: registered before any
// form is made, so the form's CoCreateInstance finds it.
class StandInService {
public:
    StandInService()
    {
        m_registered = SUCCEEDED(CoRegisterClassObject(
            CLSID_AccPropServices, m_factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_cookie));
    }
    ~StandInService()
    {
        if (m_registered) {
            CoRevokeClassObject(m_cookie);
        }
        m_factory->Release();
    }
    StandInService(const StandInService &) = delete;
    StandInService &operator=(const StandInService &) = delete;
    StandInService(StandInService &&) = delete;
    StandInService &operator=(StandInService &&) = delete;
    [[nodiscard]] bool registered() const { return m_registered; }

private:
    testing_support::ComScope m_com; // first made, last gone
    RecordingFactory *m_factory = new RecordingFactory; // one reference of this object's own
    DWORD m_cookie = 0;
    bool m_registered = false;
};

class Accessibility : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(service.registered()) << "the stand-in service could not be registered";
        g_told = {};
        form = testing_support::showMainWindow();
        ASSERT_NE(form, nullptr);
    }

    StandInService service;
    std::unique_ptr<Win32Form> form; // gone before the service
};

// Each control is named once, on its own client object, as the Linux window names it, and
// described where the Linux window describes it. The service keeps both until they are taken back:
// once each, before the control's window goes.
TEST_F(Accessibility, EachControlIsNamedAndDescribedAsOnLinuxUntilTheFormGoes)
{
    const auto spoken = testing_support::spokenNames();
    ASSERT_EQ(spoken.size(), icatlas::ui::kForm1Controls.size());
    std::vector<HWND> controls;
    for (const testing_support::SpokenName &row : spoken) {
        SCOPED_TRACE(row.control);
        HWND control = form->handle(row.control);
        ASSERT_NE(control, nullptr);
        controls.push_back(control);
        EXPECT_EQ(g_told.names[control], std::vector {widen(row.name)});
        EXPECT_EQ(g_told.descriptions[control],
                  row.description.empty() ? std::vector<std::wstring> {}
                                          : std::vector {widen(row.description)});
    }
    EXPECT_EQ(g_told.names.count(nullptr), 0U) << "a name given to no window";
    EXPECT_EQ(g_told.elsewhere, 0);
    ASSERT_TRUE(g_told.cleared.empty());
    form.reset();
    for (HWND control : controls) {
        int taken = 0;
        for (const auto &[window, count] : g_told.cleared) {
            taken += window == control ? count : 0;
        }
        EXPECT_EQ(taken, 2) << "name and description of each control, once";
    }
}

// A press raises one notification on the pressed button, spoken as an action completed that a
// newer press replaces, with the Linux window's words: a DCT4 model's, and one whose blank boxes
// are left out and whose trailing blanks are kept.
TEST_F(Accessibility, APressIsAnnouncedOnThePressedButtonWithTheWordsLinuxSays)
{
    for (const auto &[name, announced] :
         {std::pair {"Command31", testing_support::kAnnounced6310I},
          std::pair {"Command2", testing_support::kAnnounced3210}}) {
        SCOPED_TRACE(name);
        const int before = standinNotifications(nullptr);
        HWND button = form->handle(name);
        ASSERT_NE(button, nullptr);
        SendMessageW(button, BM_CLICK, 0, 0);
        pump(*form);
        RaisedNotification last {};
        ASSERT_EQ(standinNotifications(&last), before + 1)
            << "one notification per press (is the stand-in loaded?)";
        EXPECT_EQ(last.source, button);
        EXPECT_EQ(std::wstring(last.display), widen(announced));
        EXPECT_EQ(last.kind, 2) << "NotificationKind_ActionCompleted";
        EXPECT_EQ(last.processing, 3) << "NotificationProcessing_MostRecent";
        EXPECT_FALSE(std::wstring(last.activity).empty());
    }
}

} // namespace
