// SPDX-License-Identifier: MIT
// What the installer's test asks of Windows itself, where Wine's command line cannot tell:
//   installer_probe shortcut <file.lnk>   the shortcut's target, arguments and folder
//   installer_probe open <file.lnk> [arg] starts what the shortcut names as the shell does and
//   gives
//                                         its exit status; with no argument, prints the title of
//                                         the program's window and closes it
//   installer_probe version <file.exe>    the file's version record
//   installer_probe manifest <file.exe>   the manifest the file gives Windows at its start
//   installer_probe install <setup.exe>   goes through the installer's pages as a user does, Next
//                                         to Finish; prints what the last page offered and the
//                                         program (and window) that then opened, and closes it
#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <shlobj.h>
#include <winver.h>
#include <wrl/client.h>

#include "process.hpp"

#include <array>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <type_traits>

namespace {

using testing_support::classOf;
using testing_support::endsWithin;
using testing_support::firstWindow;
using testing_support::Handle;
using testing_support::processOf;
using testing_support::startProgram;

std::string utf8(const std::wstring &text)
{
    const int size
        = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string converted(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, converted.data(), size, nullptr, nullptr);
    converted.pop_back();
    return converted;
}

struct Shortcut {
    std::wstring target;
    std::wstring arguments;
    std::wstring folder;
};

bool readShortcut(const wchar_t *file, Shortcut &shortcut)
{
    Microsoft::WRL::ComPtr<IShellLinkW> link;
    Microsoft::WRL::ComPtr<IPersistFile> persisted;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void **>(link.GetAddressOf())))
        || FAILED(link.As(&persisted)) || FAILED(persisted->Load(file, STGM_READ))) {
        std::fprintf(stderr, "cannot read the shortcut %s\n", utf8(file).c_str());
        return false;
    }
    std::array<wchar_t, 32768> text {};
    const int size = static_cast<int>(text.size());
    if (link->GetPath(text.data(), size, nullptr, SLGP_RAWPATH) != S_OK) {
        std::fprintf(stderr, "the shortcut names no file\n");
        return false;
    }
    shortcut.target = text.data();
    text[0] = L'\0';
    link->GetArguments(text.data(), size);
    shortcut.arguments = text.data();
    text[0] = L'\0';
    link->GetWorkingDirectory(text.data(), size);
    shortcut.folder = text.data();
    return true;
}

// The first window the process shows on the desktop: visible, and owned by no other window.
HWND shownBy(HANDLE process)
{
    return firstWindow([id = GetProcessId(process)](HWND window) {
        return processOf(window) == id && IsWindowVisible(window) != FALSE
            && GetWindow(window, GW_OWNER) == nullptr;
    });
}

std::wstring textOf(HWND window)
{
    std::array<wchar_t, 512> text {};
    GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return text.data();
}

int open(const wchar_t *file, const wchar_t *argument)
{
    Shortcut shortcut;
    if (!readShortcut(file, shortcut)) {
        return 2;
    }
    // As the shell starts a shortcut: its target with its arguments, in its folder.
    std::wstring arguments = shortcut.arguments;
    if (argument != nullptr) {
        arguments += (arguments.empty() ? L"" : L" ") + std::wstring(argument);
    }
    const Handle process = startProgram(
        shortcut.target, arguments, shortcut.folder.empty() ? nullptr : shortcut.folder.c_str());
    if (!process) {
        std::fprintf(stderr, "cannot start %s: error %lu\n", utf8(shortcut.target).c_str(),
                     GetLastError());
        return 2;
    }
    if (argument == nullptr) {
        HWND shown = nullptr;
        for (int tries = 0; shown == nullptr && tries < 300; ++tries) {
            if (WaitForSingleObject(process.get(), 100) == WAIT_OBJECT_0) {
                std::fprintf(stderr, "the program ended before it showed a window\n");
                return 2;
            }
            shown = shownBy(process.get());
        }
        if (shown == nullptr) {
            std::fprintf(stderr, "no window within 30 s\n");
            TerminateProcess(process.get(), 2);
            return 2;
        }
        std::printf("window: %s\n", utf8(textOf(shown)).c_str());
        PostMessageW(shown, WM_CLOSE, 0, 0);
    }
    if (!endsWithin(process.get(), 30000, 2)) {
        std::fprintf(stderr, "the program did not end within 30 s\n");
        return 2;
    }
    DWORD status = 0;
    GetExitCodeProcess(process.get(), &status);
    std::fflush(stdout);
    return static_cast<int>(status);
}

int version(const wchar_t *file)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
    if (size == 0) {
        std::fprintf(stderr, "%s has no version record\n", utf8(file).c_str());
        return 1;
    }
    std::string record(size, '\0');
    if (GetFileVersionInfoW(file, 0, size, record.data()) == 0) {
        return 1;
    }
    // The texts stand in a block named by the record's first language and code page.
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation *translation = nullptr;
    UINT translationSize = 0;
    if (VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation",
                       reinterpret_cast<void **>(&translation), &translationSize)
            == 0
        || translationSize < sizeof(Translation)) {
        std::fprintf(stderr, "%s's version record names no language\n", utf8(file).c_str());
        return 1;
    }
    std::array<wchar_t, 64> block {};
    swprintf(block.data(), block.size(), L"\\StringFileInfo\\%04x%04x\\", translation->language,
             translation->codePage);
    std::printf("Translation=%04x%04x\n", translation->language, translation->codePage);
    for (const wchar_t *name :
         {L"CompanyName", L"ProductName", L"FileVersion", L"ProductVersion", L"FileDescription"}) {
        const std::wstring path = block.data() + std::wstring(name);
        wchar_t *value = nullptr;
        UINT length = 0;
        if (VerQueryValueW(record.data(), path.c_str(), reinterpret_cast<void **>(&value), &length)
                != 0
            && value != nullptr) {
            std::printf("%s=%s\n", utf8(name).c_str(), utf8(value).c_str());
        }
    }
    return 0;
}

int install(const wchar_t *installer)
{
    const Handle process = startProgram(installer, L"", nullptr, false);
    if (!process) {
        std::fprintf(stderr, "cannot start the installer: error %lu\n", GetLastError());
        return 2;
    }
    // Next (the dialog's button 1: Next, I Agree, Install, Finish) whenever it can be pressed,
    // posted as the button posts it; then the page must change before the next press. What the
    // last page offers is what the one pressed last held.
    std::wstring offered; // by the last page pressed on
    HWND shown = nullptr;
    HWND pressedOn = nullptr;
    for (int tries = 0; WaitForSingleObject(process.get(), 250) == WAIT_TIMEOUT; ++tries) {
        if (tries > 480) {
            std::fprintf(stderr, "the installer did not end within 2 minutes\n");
            TerminateProcess(process.get(), 2);
            return 2;
        }
        HWND wizard = shownBy(process.get());
        HWND next = wizard != nullptr ? GetDlgItem(wizard, 1) : nullptr;
        HWND page
            = wizard != nullptr ? FindWindowExW(wizard, nullptr, L"#32770", nullptr) : nullptr;
        if (next == nullptr || page == nullptr || page == pressedOn
            || IsWindowEnabled(next) == FALSE || IsWindowVisible(next) == FALSE) {
            continue;
        }
        // A page is read once it has stood for a moment, as a user reads it before pressing on.
        if (page != shown) {
            shown = page;
            continue;
        }
        HWND box = firstWindow(
            [](HWND child) {
                const auto type
                    = static_cast<UINT>(GetWindowLongPtrW(child, GWL_STYLE)) & BS_TYPEMASK;
                return _wcsicmp(classOf(child).c_str(), L"Button") == 0
                    && IsWindowVisible(child) != FALSE
                    && (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX);
            },
            page);
        offered = box == nullptr ? std::wstring()
                                 : textOf(box) + L" ("
                + (SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED ? L"ticked" : L"not ticked")
                + L")";
        pressedOn = page;
        PostMessageW(wizard, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), reinterpret_cast<LPARAM>(next));
    }
    std::printf("offered: %s\n", offered.empty() ? "nothing" : utf8(offered).c_str());
    // What it opened: a window of another process than this one or the installer.
    for (int tries = 0; tries < 300; ++tries) {
        HWND opened = firstWindow([](HWND window) {
            return processOf(window) != GetCurrentProcessId() && IsWindowVisible(window) != FALSE
                && classOf(window) == L"forms.Form";
        });
        if (opened != nullptr) {
            const Handle program(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE,
                                             processOf(opened)));
            std::array<wchar_t, MAX_PATH> path {};
            DWORD length = static_cast<DWORD>(path.size());
            if (program) {
                QueryFullProcessImageNameW(program.get(), 0, path.data(), &length);
            }
            std::printf("opened: %s\nwindow: %s\n", utf8(path.data()).c_str(),
                        utf8(textOf(opened)).c_str());
            PostMessageW(opened, WM_CLOSE, 0, 0);
            if (program) {
                WaitForSingleObject(program.get(), 30000);
            }
            return 0;
        }
        Sleep(100);
    }
    std::printf("opened: nothing\n");
    return 0;
}

struct LibraryFreer {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};

int manifest(const wchar_t *file)
{
    const std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFreer> module(
        LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    HRSRC found = module ? FindResourceW(module.get(), MAKEINTRESOURCEW(1), RT_MANIFEST) : nullptr;
    HGLOBAL loaded = found != nullptr ? LoadResource(module.get(), found) : nullptr;
    const void *bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        std::fprintf(stderr, "%s has no manifest for its start\n", utf8(file).c_str());
        return 1;
    }
    std::fwrite(bytes, 1, SizeofResource(module.get(), found), stdout);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    const testing_support::ComScope com;
    if (!com.ok() || argc < 3) {
        std::fprintf(
            stderr,
            "usage: installer_probe shortcut|open|version|manifest|install FILE [ARGUMENT]\n");
        return 2;
    }
    const std::wstring action = argv[1];
    if (action == L"shortcut") {
        Shortcut shortcut;
        if (!readShortcut(argv[2], shortcut)) {
            return 2;
        }
        std::printf("target=%s\narguments=%s\nfolder=%s\n", utf8(shortcut.target).c_str(),
                    utf8(shortcut.arguments).c_str(), utf8(shortcut.folder).c_str());
        return 0;
    }
    if (action == L"open") {
        return open(argv[2], argc > 3 ? argv[3] : nullptr);
    }
    if (action == L"version") {
        return version(argv[2]);
    }
    if (action == L"install") {
        return install(argv[2]);
    }
    if (action == L"manifest") {
        return manifest(argv[2]);
    }
    std::fprintf(stderr, "unknown action\n");
    return 2;
}
