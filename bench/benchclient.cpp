// SPDX-License-Identifier: GPL-3.0-or-later
// Starts one program on the X server and measures it from outside: the time
// from exec to its first top-level window mapped and to the first pixels
// drawn into it (seen through the DAMAGE extension), the hand-over from a
// click on the splash frame to the next window mapped, the written private
// memory after the hand-over and after a full match played with synthetic
// clicks and keys, the peak resident memory, and its voluntary context
// switches while nobody touches it.
//
// Usage: benchclient [options] -- program [arguments]
//   --click X,Y        click at (X,Y) of the first window, --click-after-ms
//                      after it mapped, and time the next window's mapping
//   --click-after-ms N (default 300)
//   --match            then play a full match on the main window, clicking
//                      the places that --at gives
//   --at NAME=X,Y      a control's middle in the main window: play-now,
//                      continue, cell1 to cell9
//   --windows N        wait until N top-level windows have mapped (default 1)
//   --settle-ms N      wait this long before reading the memory, after the
//                      hand-over and at the end (default 300)
//   --idle-at S        start counting wake-ups at S seconds of CLOCK_MONOTONIC
//   --idle-ms N        count wake-ups over N ms (0: not at all; default 0)
//   --log FILE         the program's output (default /dev/null)
//   --smaps FILE       a copy of the program's memory map at the end, for
//                      finding what takes the memory
//
// Prints one "key value" line per figure, and an "idle_wake" line for each
// wake-up seen (when, how many switches, which thread); exits non-zero when
// the program did not get as far as asked.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

double monotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void sleepMs(double ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(static_cast<long long>(ms * 1000)));
}

void sleepUntil(double monotonic)
{
    sleepMs((monotonic - monotonicSeconds()) * 1000);
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "benchclient: %s\n", what);
    std::exit(2);
}

// Windows may vanish between an event and a look at them.
int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

struct Options {
    std::optional<std::pair<int, int>> click;
    std::map<std::string, std::pair<int, int>> places;
    double clickAfterMs = 300;
    bool match = false;
    int windows = 1;
    double settleMs = 300;
    double idleAt = 0;
    double idleMs = 0;
    std::string log = "/dev/null";
    std::string smaps;
    std::vector<char*> command;
};

Options parse(int argc, char** argv)
{
    Options options;
    int i = 1;
    const auto value = [&](const char* name) -> const char* {
        if (i + 1 >= argc)
            fail((std::string("missing value for ") + name).c_str());
        return argv[++i];
    };
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg == "--click") {
            int x = 0;
            int y = 0;
            if (std::sscanf(value("--click"), "%d,%d", &x, &y) != 2)
                fail("--click wants X,Y");
            options.click = std::make_pair(x, y);
        } else if (arg == "--at") {
            char name[32] = {};
            int x = 0;
            int y = 0;
            if (std::sscanf(value("--at"), "%31[^=]=%d,%d", name, &x, &y) != 3)
                fail("--at wants NAME=X,Y");
            options.places[name] = std::make_pair(x, y);
        } else if (arg == "--click-after-ms") {
            options.clickAfterMs = std::atof(value("--click-after-ms"));
        } else if (arg == "--match") {
            options.match = true;
        } else if (arg == "--windows") {
            options.windows = std::atoi(value("--windows"));
        } else if (arg == "--settle-ms") {
            options.settleMs = std::atof(value("--settle-ms"));
        } else if (arg == "--idle-at") {
            options.idleAt = std::atof(value("--idle-at"));
        } else if (arg == "--idle-ms") {
            options.idleMs = std::atof(value("--idle-ms"));
        } else if (arg == "--smaps") {
            options.smaps = value("--smaps");
        } else if (arg == "--log") {
            options.log = value("--log");
        } else {
            fail(("unknown option " + arg).c_str());
        }
    }
    for (; i < argc; ++i)
        options.command.push_back(argv[i]);
    if (options.command.empty())
        fail("no program given");
    for (const char* name :
         {"play-now", "continue", "cell1", "cell2", "cell3", "cell4", "cell5", "cell6", "cell7", "cell8", "cell9"}) {
        if (options.match && options.places.count(name) == 0)
            fail("--match needs --at for play-now, continue and cell1 to cell9");
    }
    options.command.push_back(nullptr);
    return options;
}

// One line of /proc/PID/status or /proc/PID/task/TID/status, as a number.
long statusField(const std::string& path, const std::string& field)
{
    std::ifstream status(path);
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, field.size(), field) == 0 && line.size() > field.size() && line[field.size()] == ':')
            return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
    }
    return -1;
}

// The memory the process wrote to and shares with nobody (heap, stacks,
// relocated data), in KiB; library pages it only reads are not in it.
long privateDirtyKib(pid_t pid)
{
    return statusField("/proc/" + std::to_string(pid) + "/smaps_rollup", "Private_Dirty");
}

// Voluntary context switches of each thread, by thread id, with its name.
struct ThreadCount {
    long switches = 0;
    std::string name;
};
using Census = std::map<pid_t, ThreadCount>;

Census threadCensus(pid_t pid)
{
    Census census;
    const std::string base = "/proc/" + std::to_string(pid) + "/task/";
    if (DIR* tasks = opendir(base.c_str())) {
        while (const dirent* entry = readdir(tasks)) {
            if (entry->d_name[0] == '.')
                continue;
            const std::string task = base + entry->d_name;
            const long count = statusField(task + "/status", "voluntary_ctxt_switches");
            if (count < 0)
                continue;
            ThreadCount& thread = census[static_cast<pid_t>(std::atol(entry->d_name))];
            thread.switches = count;
            std::getline(std::ifstream(task + "/comm"), thread.name);
        }
        closedir(tasks);
    }
    return census;
}

// Watches the process for `ms` and prints its wake-ups: every voluntary
// context switch of any thread, threads that end or begin included. Looking
// at /proc does not wake the process.
void watchIdle(pid_t pid, double ms)
{
    constexpr double kPollMs = 50;
    constexpr int kMaxLogged = 40;
    const double from = monotonicSeconds();
    const double until = from + ms / 1000;
    Census last = threadCensus(pid);
    long mainThread = 0;
    long all = 0;
    int ended = 0;
    int begun = 0;
    int logged = 0;
    const auto note = [&](double at, const ThreadCount& thread, long count, const char* what) {
        all += count;
        if (logged++ < kMaxLogged)
            std::printf("idle_wake %.2f %ld %s %s\n", at - from, count, what, thread.name.c_str());
    };
    while (true) {
        const double now = monotonicSeconds();
        const bool done = now >= until;
        if (!done)
            sleepMs(std::min(kPollMs, (until - now) * 1000));
        const double at = monotonicSeconds();
        const Census current = threadCensus(pid);
        for (const auto& [tid, thread] : current) {
            const auto before = last.find(tid);
            if (before == last.end()) {
                ++begun;
                note(at, thread, thread.switches, "begun");
            } else if (thread.switches != before->second.switches) {
                const long count = thread.switches - before->second.switches;
                if (tid == pid)
                    mainThread += count;
                note(at, thread, count, "woke");
            }
        }
        for (const auto& [tid, thread] : last) {
            if (current.count(tid) == 0) {
                // Its last switches went with it; ending took one at least.
                ++ended;
                note(at, thread, 1, "ended");
            }
        }
        last = current;
        if (done)
            break;
    }
    std::printf("idle_seconds %.3f\n", monotonicSeconds() - from);
    std::printf("idle_switches_main %ld\n", mainThread);
    std::printf("idle_switches_all %ld\n", all);
    std::printf("idle_threads %zu\n", last.size());
    std::printf("idle_threads_ended %d\n", ended);
    std::printf("idle_threads_begun %d\n", begun);
}

// Time on a CPU of all the process's threads so far, ended ones included,
// in ms: the part of the start-up that a busy machine does not lengthen.
double cpuMs(pid_t pid)
{
    clockid_t clock{};
    timespec spent{};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &spent) != 0)
        return -1;
    return static_cast<double>(spent.tv_sec) * 1e3 + static_cast<double>(spent.tv_nsec) * 1e-6;
}

class Session {
public:
    explicit Session(Display* display) : dpy(display), root(DefaultRootWindow(display))
    {
        pidAtom = XInternAtom(dpy, "_NET_WM_PID", False);
        int damageErrorBase = 0;
        if (!XDamageQueryExtension(dpy, &damageEventBase, &damageErrorBase))
            fail("the X server has no DAMAGE extension");
        XSelectInput(dpy, root, SubstructureNotifyMask);
        XSync(dpy, False);
    }

    // Reports every drawing on the screen from now on. Made on the root
    // window before the program starts, it cannot miss a first frame the
    // way one made on the program's window, once seen, could.
    void watchDrawing()
    {
        screenDamage = XDamageCreate(dpy, root, XDamageReportRawRectangles);
        XSync(dpy, False);
    }

    void stopWatchingDrawing()
    {
        if (screenDamage != None)
            XDamageDestroy(dpy, screenDamage);
        screenDamage = None;
        XFlush(dpy);
    }

    // Waits for the first drawing inside the mapped window; returns the
    // moment it was seen, or nothing at the deadline. Nothing can be drawn
    // into a window before its MapNotify, so none is missed in between.
    std::optional<double> waitForDrawing(Window window, double deadline)
    {
        while (true) {
            XEvent event{};
            if (!nextEvent(event, deadline))
                return std::nullopt;
            const double arrived = monotonicSeconds();
            if (event.type != damageEventBase + XDamageNotify)
                continue;
            const auto& drawn = reinterpret_cast<const XDamageNotifyEvent&>(event).area;
            const auto place = places.find(window);
            if (place == places.end() || intersects(drawn, place->second))
                return arrived;
        }
    }

    void setChild(pid_t pid) { child = pid; }

    // Waits for the next top-level window of the child to map (or unmap);
    // returns it and the moment the event arrived, or nothing at the deadline.
    std::optional<std::pair<Window, double>> waitFor(int type, double deadline, Window which = None)
    {
        while (true) {
            XEvent event{};
            if (!nextEvent(event, deadline))
                return std::nullopt;
            const double arrived = monotonicSeconds();
            if (event.type != type)
                continue;
            if (type == MapNotify) {
                const XMapEvent& map = event.xmap;
                if (map.event != root || map.override_redirect || (which != None && map.window != which))
                    continue;
                if (windowPid(map.window) != child)
                    continue;
                return std::make_pair(map.window, arrived);
            }
            if (type == UnmapNotify) {
                const XUnmapEvent& unmap = event.xunmap;
                if (unmap.event != root || (which != None && unmap.window != which))
                    continue;
                if (which == None && windowPid(unmap.window) != child)
                    continue;
                return std::make_pair(unmap.window, arrived);
            }
        }
    }

    // The window's top-left corner on the screen.
    std::pair<int, int> origin(Window window)
    {
        int x = 0;
        int y = 0;
        Window ignored = None;
        XTranslateCoordinates(dpy, window, root, 0, 0, &x, &y, &ignored);
        return {x, y};
    }

    void movePointer(int x, int y)
    {
        XTestFakeMotionEvent(dpy, DefaultScreen(dpy), x, y, CurrentTime);
        XFlush(dpy);
    }

    void pressAndRelease()
    {
        XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
        XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
        XFlush(dpy);
    }

    void click(int x, int y)
    {
        movePointer(x, y);
        pressAndRelease();
    }

    void key(KeySym keysym)
    {
        const KeyCode code = XKeysymToKeycode(dpy, keysym);
        XTestFakeKeyEvent(dpy, code, True, CurrentTime);
        XTestFakeKeyEvent(dpy, code, False, CurrentTime);
        XFlush(dpy);
    }

    // Without a window manager nobody hands a new dialog the keyboard.
    void focus(Window window)
    {
        XSetInputFocus(dpy, window, RevertToPointerRoot, CurrentTime);
        XFlush(dpy);
    }

private:
    bool nextEvent(XEvent& event, double deadline)
    {
        while (XPending(dpy) == 0) {
            const double left = deadline - monotonicSeconds();
            if (left <= 0)
                return false;
            pollfd fd{ConnectionNumber(dpy), POLLIN, 0};
            poll(&fd, 1, static_cast<int>(left * 1000) + 1);
        }
        XNextEvent(dpy, &event);
        // Top-level windows' places, for telling whose drawing a damage is.
        if (event.type == CreateNotify && event.xcreatewindow.parent == root) {
            const XCreateWindowEvent& created = event.xcreatewindow;
            places[created.window] = {static_cast<short>(created.x), static_cast<short>(created.y),
                                      static_cast<unsigned short>(created.width),
                                      static_cast<unsigned short>(created.height)};
        } else if (event.type == ConfigureNotify && event.xconfigure.event == root) {
            const XConfigureEvent& moved = event.xconfigure;
            places[moved.window] = {static_cast<short>(moved.x), static_cast<short>(moved.y),
                                    static_cast<unsigned short>(moved.width),
                                    static_cast<unsigned short>(moved.height)};
        } else if (event.type == DestroyNotify && event.xdestroywindow.event == root) {
            places.erase(event.xdestroywindow.window);
        }
        return true;
    }

    static bool intersects(const XRectangle& a, const XRectangle& b)
    {
        return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
    }

    pid_t windowPid(Window window)
    {
        Atom type = None;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        pid_t pid = -1;
        if (XGetWindowProperty(dpy, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                               &data) == Success &&
            data != nullptr) {
            if (format == 32 && items == 1)
                pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
            XFree(data);
        }
        return pid;
    }

    Display* dpy;
    Window root;
    Atom pidAtom = None;
    pid_t child = -1;
    int damageEventBase = 0;
    Damage screenDamage = None;
    std::map<Window, XRectangle> places;
};

pid_t start(const Options& options)
{
    const pid_t pid = fork();
    if (pid < 0)
        fail("fork failed");
    if (pid == 0) {
        const int out = open(options.log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (out >= 0) {
            dup2(out, STDOUT_FILENO);
            dup2(out, STDERR_FILENO);
            close(out);
        }
        const int in = open("/dev/null", O_RDONLY);
        if (in >= 0) {
            dup2(in, STDIN_FILENO);
            close(in);
        }
        execv(options.command[0], options.command.data());
        _exit(127);
    }
    return pid;
}

void stop(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        sleepMs(10);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// Five finished games make a match; this order wins the left column for O.
constexpr int kWinningOrder[] = {0, 1, 3, 2, 6};
constexpr int kGamesInMatch = 5;
constexpr double kClickGapMs = 30;

struct Player {
    Session& session;
    int left;
    int top;
    // Controls' middles in the main window, by name (--at).
    const std::map<std::string, std::pair<int, int>>& places;

    std::pair<int, int> cellCentre(int index) const { return places.at("cell" + std::to_string(index + 1)); }

    void clickAt(std::pair<int, int> place)
    {
        session.click(left + place.first, top + place.second);
        sleepMs(kClickGapMs);
    }

    // Answers the next dialog of the child with a key; false if none opened.
    bool answerDialog(KeySym keysym)
    {
        const auto dialog = session.waitFor(MapNotify, monotonicSeconds() + 10);
        if (!dialog)
            return false;
        sleepMs(50);
        session.focus(dialog->first);
        sleepMs(20);
        session.key(keysym);
        return session.waitFor(UnmapNotify, monotonicSeconds() + 10, dialog->first).has_value();
    }

    bool playMatch()
    {
        clickAt(places.at("play-now"));
        if (!answerDialog(XK_Return) || !answerDialog(XK_Return))
            return false;
        sleepMs(50);
        for (int game = 1; game <= kGamesInMatch; ++game) {
            for (const int cell : kWinningOrder)
                clickAt(cellCentre(cell));
            if (game < kGamesInMatch)
                clickAt(places.at("continue"));
        }
        // The question after the fifth game: Yes, a new match.
        return answerDialog(XK_Return);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    const Options options = parse(argc, argv);
    Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr)
        fail("cannot open the display");
    XSetErrorHandler(ignoreErrors);
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(dpy, &eventBase, &errorBase, &major, &minor))
        fail("the X server has no XTEST extension");
    Session session(dpy);

    session.watchDrawing();
    const double started = monotonicSeconds();
    const pid_t child = start(options);
    session.setChild(child);
    int status = 0;
    const auto finish = [&](const char* failure) {
        if (failure != nullptr) {
            std::fprintf(stderr, "benchclient: %s (%s)\n", failure, options.command[0]);
            status = 1;
        }
        stop(child);
        XCloseDisplay(dpy);
        return status;
    };

    const auto first = session.waitFor(MapNotify, started + 20);
    if (!first)
        return finish("no window mapped");
    const double startupCpuMs = cpuMs(child);
    const auto drawn = session.waitForDrawing(first->first, started + 20);
    if (!drawn)
        return finish("nothing drawn in the first window");
    const double firstFrameCpuMs = cpuMs(child);
    session.stopWatchingDrawing();
    std::printf("startup_ms %.3f\n", (first->second - started) * 1000);
    std::printf("startup_cpu_ms %.3f\n", startupCpuMs);
    std::printf("first_frame_ms %.3f\n", (*drawn - started) * 1000);
    std::printf("first_frame_cpu_ms %.3f\n", firstFrameCpuMs);
    std::fflush(stdout);

    int mapped = 1;
    std::optional<Window> mainWindow;
    if (options.click) {
        sleepMs(options.clickAfterMs);
        const auto [x, y] = session.origin(first->first);
        session.movePointer(x + options.click->first, y + options.click->second);
        sleepMs(50);
        const double cpuBefore = cpuMs(child);
        const double clicked = monotonicSeconds();
        session.pressAndRelease();
        const auto next = session.waitFor(MapNotify, clicked + 10);
        if (!next)
            return finish("no window mapped after the click");
        ++mapped;
        mainWindow = next->first;
        std::printf("handover_ms %.3f\n", (next->second - clicked) * 1000);
        std::printf("handover_cpu_ms %.3f\n", cpuMs(child) - cpuBefore);
        sleepMs(options.settleMs);
        std::printf("handover_private_dirty_kib %ld\n", privateDirtyKib(child));
        std::fflush(stdout);
    }
    for (; mapped < options.windows; ++mapped) {
        const auto next = session.waitFor(MapNotify, started + 30);
        if (!next)
            return finish("fewer windows mapped than expected");
        mainWindow = next->first;
    }

    if (options.match) {
        if (!mainWindow)
            return finish("--match needs the main window: give --click or --windows 2");
        sleepMs(100);
        const auto [left, top] = session.origin(*mainWindow);
        Player player{session, left, top, options.places};
        if (!player.playMatch())
            return finish("the match did not reach its closing question");
    }

    sleepMs(options.settleMs);
    const std::string statusPath = "/proc/" + std::to_string(child) + "/status";
    std::printf("vmhwm_kib %ld\n", statusField(statusPath, "VmHWM"));
    std::printf("vmrss_kib %ld\n", statusField(statusPath, "VmRSS"));
    std::printf("private_dirty_kib %ld\n", privateDirtyKib(child));
    if (!options.smaps.empty()) {
        std::ifstream map("/proc/" + std::to_string(child) + "/smaps");
        std::ofstream(options.smaps) << map.rdbuf();
    }

    if (options.idleMs > 0) {
        sleepUntil(options.idleAt);
        watchIdle(child, options.idleMs);
    }
    std::fflush(stdout);
    return finish(nullptr);
}
