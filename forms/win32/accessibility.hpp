// SPDX-License-Identifier: MIT
// What assistive technology learns of a Win32 form: each control's name and description, given
// to Windows' own accessibility objects of the standard controls by dynamic annotation
// (IAccPropServices), and a press announced as a UI Automation notification where the system
// has them (Windows 10 1709 and later; found at run time, so older systems still start).
#pragma once

#include "forms/win32/handles.hpp"

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <string_view>
#include <vector>

namespace forms::win32 {

// The names and descriptions given to a form's controls; each annotation is cleared when this
// goes, as the annotation service asks of windows that are about to be destroyed.
class Annotations {
public:
    Annotations();
    ~Annotations();
    Annotations(const Annotations &) = delete;
    Annotations &operator=(const Annotations &) = delete;
    Annotations(Annotations &&) = delete;
    Annotations &operator=(Annotations &&) = delete;

    // Names the control; an empty description adds none. Without the service, nothing changes.
    void annotate(HWND control, std::string_view name, std::string_view description);

    // Gives the control another description (empty: the one Windows gives it); the name stays.
    void describe(HWND control, std::string_view description);

    // Takes every annotation back; the controls keep the names Windows gives them.
    void clear();

private:
    // Sets one property of the control's annotation, noting the control once.
    void set(HWND control, MSAAPROPID property, std::string_view text);

    bool m_comStarted = false; // this object started COM on the thread and ends it
    ComPtr<IAccPropServices> m_service;
    std::vector<HWND> m_annotated;
};

// Has `message` spoken through UI Automation, raised on `source` (the pressed control), without
// moving the keyboard focus, where the system has such notifications.
void announceThroughAutomation(HWND source, std::string_view message);

} // namespace forms::win32
