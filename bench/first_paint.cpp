// SPDX-License-Identifier: MIT
// Time to first pixels and memory of one start of an X11 program, seen from outside: scripts/bench
// runs it for icatlas, the hand-built window and the empty window in turn (bench/first_pixels.py).
//
//   first_paint [-t TIMEOUT_MS] [-s SETTLE_MS] -- PROGRAM [ARGUMENT...]
//
// It starts PROGRAM and watches the X server, not the program: a DAMAGE object on each top-level
// window the program creates tells when pixels are drawn into it. So that the object is in place
// before the window is mapped, it holds the root window's substructure redirect as a window
// manager does and performs the program's map and configure requests itself, unchanged. It prints
// one line, in ms since the start:
//   map    the window was mapped
//   paint  the first drawing after the map's expose: the first pixels the program itself drew
//   done   the last drawing before SETTLE_MS of quiet
//   cpu    the time the program's main thread had run on a CPU by the first pixels
//   wait   the time it had waited, runnable, for a CPU by then: the machine's load, not its work
// and, read from /proc once the window is quiet, the process's peak resident memory (VmHWM), its
// private dirty memory (written pages only it holds: heap, stacks, relocated data) and the number
// of shared objects it maps. Then it stops the program (SIGTERM, by its PID) and exits 0 when the
// window painted, 1 when it did not (timeout, or the program ended first), 2 on a usage error.
// A program run under valgrind is measured the same way; callgrind writes its counts on SIGTERM.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A top-level window of the program, followed from its creation.
struct Watched {
    Window window = 0;
    Damage damage = 0;
    bool exposed = false; // the map's Expose has arrived: later damage is the program's drawing
    double mapped = -1;
    double firstPaint = -1;
    double lastPaint = -1;
    std::pair<double, double> times {-1, -1}; // the main thread's at the first pixels
};

// Requests on another client's window fail once that window is gone; that ends nothing here.
int ignoreXError(Display * /*display*/, XErrorEvent * /*error*/)
{
    return 0;
}

bool g_redirectRefused = false;
int noteRedirectRefused(Display * /*display*/, XErrorEvent * /*error*/)
{
    g_redirectRefused = true;
    return 0;
}

// A "Key:   N kB" line of /proc/PID/FILE; nothing when the file or the key is missing.
std::optional<long> procKilobytes(pid_t pid, const char *file, const std::string &key)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) == 0 && line.size() > key.size()
            && line[key.size()] == ':') {
            return std::strtol(line.c_str() + key.size() + 1, nullptr, 10);
        }
    }
    return std::nullopt;
}

// The main thread's time on a CPU and waiting for one, in ms (/proc/PID/schedstat); -1 unread.
std::pair<double, double> mainThreadTimes(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/schedstat");
    double ran = -1e6;
    double waited = -1e6;
    in >> ran >> waited;
    return {ran / 1e6, waited / 1e6};
}

// Distinct mapped files whose name holds ".so" (the loader included).
int sharedObjects(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/maps");
    std::set<std::string> seen;
    std::string line;
    while (std::getline(in, line)) {
        const auto slash = line.find('/');
        if (slash == std::string::npos) {
            continue;
        }
        const std::string path = line.substr(slash);
        if (path.substr(path.rfind('/')).find(".so") != std::string::npos) {
            seen.insert(path);
        }
    }
    return static_cast<int>(seen.size());
}

// _NET_WM_PID of a window: 0 when it does not say.
pid_t windowPid(Display *display, Window window)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    pid_t pid = 0;
    const Atom property = XInternAtom(display, "_NET_WM_PID", False);
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data)
            == Success
        && data != nullptr && count == 1 && format == 32) {
        unsigned long value = 0;
        std::memcpy(&value, data, sizeof value);
        pid = static_cast<pid_t>(value);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return pid;
}

void stop(pid_t pid)
{
    if (pid <= 0 || kill(pid, 0) != 0) {
        return;
    }
    kill(pid, SIGTERM);
    // Callgrind writes its counts on the way out: give it time before the hard stop.
    for (int i = 0; i < 3000; ++i) {
        // One started through another program (strace) is not ours to wait for: gone is enough.
        if (waitpid(pid, nullptr, WNOHANG) == pid || kill(pid, 0) != 0) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

int usage()
{
    std::fputs("usage: first_paint [-t TIMEOUT_MS] [-s SETTLE_MS] -- PROGRAM [ARGUMENT...]\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    int timeoutMs = 10000;
    int settleMs = 300;
    int option = 0;
    while ((option = getopt(argc, argv, "+t:s:")) != -1) {
        if (option == 't') {
            timeoutMs = std::atoi(optarg);
        } else if (option == 's') {
            settleMs = std::atoi(optarg);
        } else {
            return usage();
        }
    }
    if (optind >= argc) {
        return usage();
    }

    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("first_paint: cannot open the display\n", stderr);
        return 2;
    }
    int damageEvent = 0;
    int damageError = 0;
    if (XDamageQueryExtension(display, &damageEvent, &damageError) == 0) {
        std::fputs("first_paint: the X server lacks the DAMAGE extension\n", stderr);
        return 2;
    }
    int major = 1;
    int minor = 1;
    XDamageQueryVersion(display, &major, &minor);
    const Window root = DefaultRootWindow(display);
    XSetErrorHandler(noteRedirectRefused);
    XSelectInput(display, root, SubstructureNotifyMask | SubstructureRedirectMask);
    XSync(display, False);
    if (g_redirectRefused) {
        std::fputs("first_paint: a window manager runs on this display; it needs one without\n",
                   stderr);
        return 2;
    }
    XSetErrorHandler(ignoreXError);

    const Clock::time_point start = Clock::now();
    const auto elapsed = [start] {
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    const pid_t child = fork();
    if (child < 0) {
        std::perror("first_paint: fork");
        return 2;
    }
    if (child == 0) {
        close(ConnectionNumber(display));
        execvp(argv[optind], argv + optind);
        std::fprintf(stderr, "first_paint: cannot run %s: %s\n", argv[optind],
                     std::strerror(errno));
        _exit(127);
    }

    std::vector<Watched> windows;
    Watched *target = nullptr;
    pid_t owner = child;
    const auto find = [&](Window window) -> Watched * {
        const auto known = std::ranges::find(windows, window, &Watched::window);
        return known == windows.end() ? nullptr : &*known;
    };
    const auto watch = [&](Window window) {
        if (find(window) == nullptr) {
            // Damage first, then the events: with the events selected, the damage was in place.
            windows.push_back(
                {.window = window,
                 .damage = XDamageCreate(display, window, XDamageReportRawRectangles)});
            XSelectInput(display, window, StructureNotifyMask | ExposureMask);
        }
    };
    Window targetWindow = 0;
    bool painted = false;
    bool exited = false;
    const int connection = ConnectionNumber(display);
    while (true) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            const double now = elapsed();
            if (event.type == CreateNotify && event.xcreatewindow.parent == root
                && event.xcreatewindow.override_redirect == 0) {
                watch(event.xcreatewindow.window);
            } else if (event.type == MapRequest) {
                watch(event.xmaprequest.window);
                XMapWindow(display, event.xmaprequest.window);
            } else if (event.type == ConfigureRequest) {
                const XConfigureRequestEvent &request = event.xconfigurerequest;
                XWindowChanges changes {request.x,
                                        request.y,
                                        request.width,
                                        request.height,
                                        request.border_width,
                                        request.above,
                                        request.detail};
                XConfigureWindow(display, request.window, static_cast<unsigned>(request.value_mask),
                                 &changes);
            } else if (event.type == MapNotify) {
                Watched *known = find(event.xmap.window);
                if (known != nullptr && known->mapped < 0) {
                    known->mapped = now;
                    if (targetWindow == 0) {
                        const pid_t pid = windowPid(display, known->window);
                        targetWindow = known->window;
                        owner = pid > 0 ? pid : child;
                    }
                }
            } else if (event.type == Expose && event.xexpose.count == 0) {
                if (Watched *known = find(event.xexpose.window)) {
                    known->exposed = true;
                }
            } else if (event.type == damageEvent + XDamageNotify) {
                const auto &damage = reinterpret_cast<const XDamageNotifyEvent &>(event);
                Watched *known = find(damage.drawable);
                if (known != nullptr && known->exposed) {
                    if (known->firstPaint < 0) {
                        known->firstPaint = now;
                        known->times = mainThreadTimes(owner);
                    }
                    known->lastPaint = now;
                }
            }
            XFlush(display);
        }
        target = targetWindow != 0 ? find(targetWindow) : nullptr;
        painted = target != nullptr && target->firstPaint >= 0;
        const double now = elapsed();
        if (painted && now - target->lastPaint >= settleMs) {
            break;
        }
        if (now >= timeoutMs) {
            break;
        }
        if (waitpid(child, nullptr, WNOHANG) == child) {
            exited = true;
            break;
        }
        pollfd ready {connection, POLLIN, 0};
        poll(&ready, 1, 10);
    }

    const long peak = procKilobytes(owner, "status", "VmHWM").value_or(-1);
    const long dirty = procKilobytes(owner, "smaps_rollup", "Private_Dirty").value_or(-1);
    const int objects = exited ? -1 : sharedObjects(owner);
    std::printf("first_paint ok=%d map=%.2f paint=%.2f done=%.2f cpu=%.2f wait=%.2f hwm_kb=%ld "
                "dirty_kb=%ld libs=%d\n",
                painted ? 1 : 0, target != nullptr ? target->mapped : -1.0,
                painted ? target->firstPaint : -1.0, painted ? target->lastPaint : -1.0,
                painted ? target->times.first : -1.0, painted ? target->times.second : -1.0, peak,
                dirty, objects);
    std::fflush(stdout);
    if (owner != child && !exited) {
        stop(owner);
    }
    if (!exited) {
        stop(child);
    }
    for (const Watched &known : windows) {
        XDamageDestroy(display, known.damage);
    }
    XCloseDisplay(display);
    return painted ? 0 : 1;
}
