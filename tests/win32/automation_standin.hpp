// SPDX-License-Identifier: MIT
// A stand-in for UI Automation's core, uiautomationcore.dll, for the Win32 window's tests: Wine's
// own raises no notification a test could hear, so this one, loaded in its place beside the test
// program (WINEDLLOVERRIDES=uiautomationcore=n), records each notification raised instead.
#pragma once

#include <windows.h>

#ifdef ICATLAS_AUTOMATION_STANDIN
#define ICATLAS_STANDIN_API extern "C" __declspec(dllexport)
#else
#define ICATLAS_STANDIN_API extern "C" __declspec(dllimport)
#endif

// One notification as it was raised: on the provider of which window, of which kind and
// processing (UI Automation's NotificationKind and NotificationProcessing), with what texts.
struct RaisedNotification {
    HWND source;
    int kind;
    int processing;
    const wchar_t *display;
    const wchar_t *activity;
};

// How many notifications were raised so far; the last is copied to `last` where there is one
// (its texts live as long as the stand-in is loaded).
ICATLAS_STANDIN_API int standinNotifications(RaisedNotification *last);
