// SPDX-License-Identifier: MIT
// Dynamic annotation of the standard controls and UI Automation notifications.
#include "forms/win32/accessibility.hpp"

#include "forms/win32/wide.hpp"

#include <algorithm>
#include <array>

namespace forms::win32 {

namespace {

const std::array<MSAAPROPID, 2> kAnnotatedProperties {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION};

} // namespace

Annotations::Annotations()
    : m_comStarted(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
{
    // A failed creation leaves the pointer null, as COM promises: no annotations then.
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): COM's untyped out-parameter
    CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                     reinterpret_cast<void **>(m_service.GetAddressOf()));
}

Annotations::~Annotations()
{
    clear();
    m_service.Reset();
    if (m_comStarted) {
        CoUninitialize();
    }
}

void Annotations::clear()
{
    // Only what the service took is noted.
    for (HWND control : m_annotated) {
        m_service->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                  kAnnotatedProperties.data(),
                                  static_cast<int>(kAnnotatedProperties.size()));
    }
    m_annotated.clear();
}

void Annotations::annotate(HWND control, std::string_view name, std::string_view description)
{
    set(control, PROPID_ACC_NAME, name);
    if (!description.empty()) {
        set(control, PROPID_ACC_DESCRIPTION, description);
    }
}

void Annotations::describe(HWND control, std::string_view description)
{
    if (!description.empty()) {
        set(control, PROPID_ACC_DESCRIPTION, description);
    } else if (m_service) {
        m_service->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                  &kAnnotatedProperties[1], 1);
    }
}

void Annotations::set(HWND control, MSAAPROPID property, std::string_view text)
{
    if (m_service
        && SUCCEEDED(m_service->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT),
                                               CHILDID_SELF, property, widen(text).c_str()))
        && std::ranges::find(m_annotated, control) == m_annotated.end()) {
        m_annotated.push_back(control);
    }
}

void announceThroughAutomation(HWND source, std::string_view message)
{
    // UiaCore's entries, typed here: the provider is passed along as an IUnknown.
    using HostProviderFunction = HRESULT(WINAPI *)(HWND, IUnknown **);
    using RaiseNotificationFunction = HRESULT(WINAPI *)(IUnknown *, int, int, BSTR, BSTR);
    constexpr int kActionCompleted = 2; // NotificationKind_ActionCompleted
    constexpr int kMostRecent = 3; // NotificationProcessing_MostRecent: a newer press replaces it
    static const Owned<HMODULE, FreeLibrary> automation(
        LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    static const auto hostProvider
        = entryOf<HostProviderFunction>(automation.get(), "UiaHostProviderFromHwnd");
    static const auto raiseNotification
        = entryOf<RaiseNotificationFunction>(automation.get(), "UiaRaiseNotificationEvent");
    ComPtr<IUnknown> provider;
    if (source == nullptr || hostProvider == nullptr || raiseNotification == nullptr
        || FAILED(hostProvider(source, provider.GetAddressOf())) || !provider) {
        return;
    }
    const std::wstring text = widen(message);
    const Owned<BSTR, SysFreeString> display(
        SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    const Owned<BSTR, SysFreeString> activity(SysAllocString(L"forms.press"));
    raiseNotification(provider.Get(), kActionCompleted, kMostRecent, display.get(), activity.get());
}

} // namespace forms::win32
