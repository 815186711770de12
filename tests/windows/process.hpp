// SPDX-License-Identifier: MIT
// A program the Windows tests start and wait for, its kernel handles closed as they go; the
// windows they look for; and what they start for a while, COM among it.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <objbase.h>

#include <array>
#include <memory>
#include <string>
#include <utility>

namespace testing_support {

// A kernel handle, closed when it goes.
struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// The process of `program` started as a shell starts it, its quoted name then `arguments`, in
// `folder` (null: this process's), with the standard handles `startup` names and, where
// `inherit`, this process's inheritable handles; null, GetLastError saying why, when it did not.
inline Handle startProgram(const std::wstring &program, const std::wstring &arguments,
                           const wchar_t *folder = nullptr, bool inherit = true,
                           STARTUPINFOW startup = {})
{
    std::wstring command = L"\"" + program + L"\"";
    if (!arguments.empty()) {
        command += L" " + arguments;
    }
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started {};
    if (CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, inherit ? TRUE : FALSE, 0,
                       nullptr, folder, &startup, &started)
        == 0) {
        return {};
    }
    const Handle thread(started.hThread);
    return Handle(started.hProcess);
}

// Whether the process ended within `milliseconds`; one still running then is ended with `status`.
inline bool endsWithin(HANDLE process, DWORD milliseconds, UINT status)
{
    if (WaitForSingleObject(process, milliseconds) == WAIT_OBJECT_0) {
        return true;
    }
    TerminateProcess(process, status);
    return false;
}

inline DWORD processOf(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

inline std::wstring classOf(HWND window)
{
    std::array<wchar_t, 64> name {};
    const int length = GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return {name.data(), static_cast<std::size_t>(length)};
}

// The first top-level window, or with a `parent` the first of its descendants, that `wanted`
// takes; null when none.
template <class Wanted> HWND firstWindow(Wanted wanted, HWND parent = nullptr)
{
    std::pair<Wanted *, HWND> search {&wanted, nullptr};
    const WNDENUMPROC visit = [](HWND window, LPARAM parameter) -> BOOL {
        auto &[test, found] = *reinterpret_cast<std::pair<Wanted *, HWND> *>(parameter);
        found = (*test)(window) ? window : nullptr;
        return found == nullptr ? TRUE : FALSE;
    };
    if (parent != nullptr) {
        EnumChildWindows(parent, visit, reinterpret_cast<LPARAM>(&search));
    } else {
        EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    }
    return search.second;
}

// What `start` began, while it lives; `end` ends it where it began.
template <auto start, auto end> class Scope {
public:
    Scope()
        : m_ok(start())
    {
    }
    ~Scope()
    {
        if (m_ok) {
            end();
        }
    }
    Scope(const Scope &) = delete;
    Scope &operator=(const Scope &) = delete;
    Scope(Scope &&) = delete;
    Scope &operator=(Scope &&) = delete;
    [[nodiscard]] bool ok() const { return m_ok; }

private:
    bool m_ok;
};

inline bool startCom()
{
    return SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

// COM for this thread.
using ComScope = Scope<startCom, CoUninitialize>;

} // namespace testing_support
