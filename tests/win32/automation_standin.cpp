// SPDX-License-Identifier: MIT
// The stand-in for uiautomationcore.dll (automation_standin.hpp): the two entries the forms
// runtime calls, a provider per window, and every notification kept for the test to read.
#include "automation_standin.hpp"
#include "counted_object.hpp"

#include <oleauto.h>

#include <deque>
#include <string>

namespace {

// Marks a provider made here, so that a notification can tell which window it was raised on.
// {6A1C3E52-7F0B-4E0F-9C61-2B8D5A4F1E37}
const IID kStandinProvider
    = {0x6a1c3e52, 0x7f0b, 0x4e0f, {0x9c, 0x61, 0x2b, 0x8d, 0x5a, 0x4f, 0x1e, 0x37}};

class Provider final : public CountedObject<IUnknown, &kStandinProvider> {
public:
    explicit Provider(HWND window)
        : m_window(window)
    {
    }
    [[nodiscard]] HWND window() const { return m_window; }

private:
    ~Provider() override = default;
    HWND m_window;
};

struct Kept {
    HWND source;
    int kind;
    int processing;
    std::wstring display;
    std::wstring activity;
};

// A deque: the texts handed out stay where they are as more are kept.
std::deque<Kept> g_raised;

std::wstring textOf(BSTR text)
{
    return text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

} // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI
    UiaHostProviderFromHwnd(HWND window, IUnknown **provider)
{
    if (provider == nullptr) {
        return E_INVALIDARG;
    }
    *provider = window != nullptr ? new Provider(window) : nullptr;
    return window != nullptr ? S_OK : E_INVALIDARG;
}

extern "C" __declspec(dllexport) HRESULT WINAPI
    UiaRaiseNotificationEvent(IUnknown *provider, int kind, int processing, BSTR display,
                              BSTR activity)
{
    void *ours = nullptr;
    if (provider == nullptr || FAILED(provider->QueryInterface(kStandinProvider, &ours))) {
        return E_INVALIDARG;
    }
    auto *made = static_cast<Provider *>(static_cast<IUnknown *>(ours));
    g_raised.push_back({made->window(), kind, processing, textOf(display), textOf(activity)});
    made->Release();
    return S_OK;
}

ICATLAS_STANDIN_API int standinNotifications(RaisedNotification *last)
{
    if (last != nullptr && !g_raised.empty()) {
        const Kept &kept = g_raised.back();
        *last = {kept.source, kept.kind, kept.processing, kept.display.c_str(),
                 kept.activity.c_str()};
    }
    return static_cast<int>(g_raised.size());
}
