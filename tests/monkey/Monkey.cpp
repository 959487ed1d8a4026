// The monkey test: a real program on its own Xvfb display (with a window
// manager when one is named) receives random clicks, drags, wheel turns and
// keys inside its window, in an order fixed by a seed. Every few steps it must still run and answer a ping of the window
// system; at the end its memory may have grown by no more than a bound, and
// it must close cleanly when asked to. A failure names the seed and the step.
//
//   monkey --profile quillon|folioscope --seed N --steps N --max-growth-mb N
//          --cwd DIR [--wm openbox|icewm] [--screenshot FILE.ppm] -- PROGRAM ARGS...
// The screenshot shows the window after the last step, for a person to look at.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct TOptions {
  std::string Profile = "quillon";
  std::uint32_t Seed = 1;
  int Steps = 2000;
  long MaxGrowthMb = 200;
  std::string Folder = ".";
  std::string Screenshot;
  std::string WindowManager;
  std::vector<std::string> Command;
};

// A screen area the monkey must not click: controls that end the program,
// which a user may press at any time but which would end the test early.
struct TZone {
  bool FromRight;  // Left counts from the window's right edge
  int Left, Top, Width, Height;
};

struct TProfile {
  std::vector<KeySym> Keys;
  std::vector<TZone> Avoid;
  bool RightClicks;
};

TProfile ProfileOf(const std::string& name) {
  std::vector<KeySym> common = {XK_Left,  XK_Right,  XK_Up,        XK_Down,   XK_Home,  XK_End, XK_Tab,
                                XK_space, XK_Return, XK_BackSpace, XK_Delete, XK_Prior, XK_Next};
  for (KeySym k = XK_a; k <= XK_z; ++k) common.push_back(k);
  for (KeySym k = XK_0; k <= XK_9; ++k) common.push_back(k);
  if (name == "quillon") {
    // The close picture sits in the top-right corner of the exercise screen.
    common.insert(common.end(), {XK_comma, XK_period, XK_minus, XK_Escape});
    return {common, {{true, 60, 0, 60, 30}}, true};
  }
  // The viewer closes on Escape, on its exit button (low in the controls
  // column) and through the context menu; it prints on Ctrl+P.
  common.insert(common.end(), {XK_KP_Add, XK_KP_Subtract, XK_KP_Multiply, XK_KP_Divide, XK_F11});
  return {common, {{false, 0, 240, 32, 100000}}, false};
}

// Unwinds to main, so that the program and the display are ended on the way.
[[noreturn]] void Fail(const TOptions& options, int step, const std::string& what) {
  char text[512];
  std::snprintf(text, sizeof text, "MONKEY FAILED (profile %s, seed %u, step %d of %d): %s",
                options.Profile.c_str(), options.Seed, step, options.Steps, what.c_str());
  throw std::runtime_error(text);
}

// A child of ours ends with us, however we end (a test timeout kills us).
void EndWithParent() {
  prctl(PR_SET_PDEATHSIG, SIGKILL);
}

// Windows come and go between a query and the next request about them:
// such errors are expected, and Xlib's default handler would end us.
int IgnoreXError(Display*, XErrorEvent*) {
  return 0;
}

TOptions ParseOptions(int argc, char** argv) {
  TOptions options;
  int i = 1;
  for (; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--") break;
    if (i + 1 >= argc) break;
    const std::string value = argv[++i];
    if (arg == "--profile")
      options.Profile = value;
    else if (arg == "--seed")
      options.Seed = std::uint32_t(std::stoul(value));
    else if (arg == "--steps")
      options.Steps = std::stoi(value);
    else if (arg == "--max-growth-mb")
      options.MaxGrowthMb = std::stol(value);
    else if (arg == "--cwd")
      options.Folder = value;
    else if (arg == "--screenshot")
      options.Screenshot = value;
    else if (arg == "--wm")
      options.WindowManager = value;
  }
  for (++i; i < argc; ++i) options.Command.push_back(argv[i]);
  if (options.Command.empty()) {
    std::fprintf(
        stderr,
        "usage: monkey [--profile P --seed N --steps N --max-growth-mb N --cwd DIR --wm WM] -- PROGRAM ARGS\n");
    std::exit(2);
  }
  return options;
}

// An Xvfb server on the first free display, which it picks and reports itself.
class TXvfb {
 public:
  TXvfb() {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      EndWithParent();
      close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    char buffer[32] = {};
    std::string number;
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer - 1)) > 0) {
      number.append(buffer, std::size_t(n));
      if (number.find('\n') != std::string::npos) break;
    }
    close(fds[0]);
    while (!number.empty() && (number.back() == '\n' || number.back() == ' ')) number.pop_back();
    if (!number.empty()) display_ = ":" + number;
  }
  ~TXvfb() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  const std::string& Display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

// A window manager on the display, ready once it names itself on the root
// window (_NET_SUPPORTING_WM_CHECK); it keeps its settings in a folder of its own.
class TWindowManager {
 public:
  TWindowManager(const std::string& name, const std::string& display) {
    char folder[] = "/tmp/monkey-wm-XXXXXX";
    if (!mkdtemp(folder)) throw std::runtime_error("cannot make a folder for the window manager");
    home_ = folder;
    pid_ = fork();
    if (pid_ == 0) {
      EndWithParent();
      setenv("DISPLAY", display.c_str(), 1);
      setenv("HOME", home_.c_str(), 1);
      setenv("XDG_CONFIG_HOME", home_.c_str(), 1);
      execlp(name.c_str(), name.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    ::Display* x = XOpenDisplay(display.c_str());
    if (!x) throw std::runtime_error("cannot open the display " + display);
    const Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", False);
    bool ready = false;
    for (int i = 0; i < 200 && !ready; ++i) {
      Atom type;
      int format;
      unsigned long items, after;
      unsigned char* data = nullptr;
      ready = XGetWindowProperty(x, DefaultRootWindow(x), check, 0, 1, False, XA_WINDOW, &type, &format, &items,
                                 &after, &data) == Success &&
              items == 1;
      if (data) XFree(data);
      if (!ready) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    XCloseDisplay(x);
    if (!ready) throw std::runtime_error("the window manager " + name + " did not start");
  }
  ~TWindowManager() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    std::filesystem::remove_all(home_);
  }

 private:
  pid_t pid_ = -1;
  std::string home_;
};

long ResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

class TMonkey {
 public:
  TMonkey(TOptions options, const std::string& display)
      : options_(std::move(options)), profile_(ProfileOf(options_.Profile)), random_(options_.Seed) {
    display_ = XOpenDisplay(display.c_str());
    if (!display_) Fail(options_, 0, "cannot open the display " + display);
    XSetErrorHandler(&IgnoreXError);
    root_ = DefaultRootWindow(display_);
    // The program answers a ping by sending it to the root window for StructureNotify.
    XSelectInput(display_, root_, StructureNotifyMask);
    protocols_ = XInternAtom(display_, "WM_PROTOCOLS", False);
    ping_ = XInternAtom(display_, "_NET_WM_PING", False);
    delete_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    pidAtom_ = XInternAtom(display_, "_NET_WM_PID", False);
    Start(display);
  }

  ~TMonkey() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (display_) XCloseDisplay(display_);
  }

  void Run() {
    window_ = WaitForWindow();
    Ping(0);
    const long before = ResidentKb(pid_);
    for (int step = 1; step <= options_.Steps; ++step) {
      Act(step);
      if (step % 25 == 0 || step == options_.Steps) {
        CheckAlive(step);
        Ping(step);
      }
    }
    const long after = ResidentKb(pid_);
    const long growthMb = (after - before) / 1024;
    std::printf("monkey %s: %d steps, seed %u, resident %ld MB -> %ld MB (bound: +%ld MB)\n",
                options_.Profile.c_str(), options_.Steps, options_.Seed, before / 1024, after / 1024,
                options_.MaxGrowthMb);
    if (!options_.Screenshot.empty()) SaveScreenshot(options_.Screenshot);
    if (growthMb > options_.MaxGrowthMb)
      Fail(options_, options_.Steps, "memory grew by " + std::to_string(growthMb) + " MB");
    Close();
  }

 private:
  void Start(const std::string& display) {
    pid_ = fork();
    if (pid_ == 0) {
      EndWithParent();
      if (chdir(options_.Folder.c_str()) != 0) _exit(126);
      setenv("DISPLAY", display.c_str(), 1);
      setenv("QT_QPA_PLATFORM", "xcb", 1);
      // Links hand web addresses to the desktop: nothing may start a browser.
      setenv("BROWSER", "true", 1);
      // Under the sanitizers the leak check at exit needs whole stacks: the X
      // and font libraries have no frame pointers, and a stack cut short at the
      // allocator matches none of the suppressions of Qt's own caches.
      const char* lsan = getenv("LSAN_OPTIONS");
      const std::string options = lsan && *lsan ? std::string(lsan) + ":" : std::string();
      setenv("LSAN_OPTIONS", (options + "fast_unwind_on_malloc=0").c_str(), 1);
      std::vector<char*> args;
      for (std::string& arg : options_.Command) args.push_back(arg.data());
      args.push_back(nullptr);
      execv(args[0], args.data());
      _exit(127);
    }
  }

  // The program's windows on show, bottom to top.
  std::vector<Window> ProgramWindows() {
    std::vector<Window> windows;
    CollectProgramWindows(root_, 0, windows);
    return windows;
  }

  // A window manager puts each window inside a frame of its own, one or two levels down.
  void CollectProgramWindows(Window window, int depth, std::vector<Window>& windows) {
    Window rootReturn, parent;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, window, &rootReturn, &parent, &children, &count)) return;
    for (unsigned i = 0; i < count; ++i) {
      XWindowAttributes attributes;
      if (!XGetWindowAttributes(display_, children[i], &attributes) || attributes.map_state != IsViewable)
        continue;
      Atom type;
      int format;
      unsigned long items, after;
      unsigned char* data = nullptr;
      const bool hasPid = XGetWindowProperty(display_, children[i], pidAtom_, 0, 1, False, XA_CARDINAL, &type,
                                             &format, &items, &after, &data) == Success &&
                          data && items == 1;
      if (hasPid && *reinterpret_cast<unsigned long*>(data) == static_cast<unsigned long>(pid_))
        windows.push_back(children[i]);
      else if (!hasPid && depth < 2)
        CollectProgramWindows(children[i], depth + 1, windows);
      if (data) XFree(data);
    }
    if (children) XFree(children);
  }

  // The program's largest window on show.
  Window WaitForWindow() {
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (Clock::now() < deadline) {
      CheckAlive(0);
      Window best = 0;
      long bestArea = 0;
      for (Window w : ProgramWindows()) {
        XWindowAttributes a;
        XGetWindowAttributes(display_, w, &a);
        if (long(a.width) * a.height > bestArea) {
          bestArea = long(a.width) * a.height;
          best = w;
        }
      }
      if (best) return best;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    Fail(options_, 0, "no window appeared within 60 s");
  }

  void CheckAlive(int step) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) return;
    pid_ = -1;
    if (WIFSIGNALED(status))
      Fail(options_, step, "the program died of signal " + std::to_string(WTERMSIG(status)));
    Fail(options_, step, "the program ended with status " + std::to_string(WEXITSTATUS(status)));
  }

  // The window system's ping: the program answers once it has handled every
  // event before it, so an answer also means the queued input was taken.
  void Ping(int step) {
    SendProtocol(window_, ping_, ++pingStamp_);
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < deadline) {
      while (XPending(display_)) {
        XEvent reply;
        XNextEvent(display_, &reply);
        if (reply.type == ClientMessage && Atom(reply.xclient.data.l[0]) == ping_ &&
            reply.xclient.data.l[1] == pingStamp_)
          return;
      }
      CheckAlive(step);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    Fail(options_, step, "the program did not answer within 30 s");
  }

  int RandomBelow(int n) { return n <= 0 ? 0 : int(random_() % std::uint32_t(n)); }

  bool Avoided(int x, int y, int width) const {
    for (const TZone& zone : profile_.Avoid) {
      const int left = zone.FromRight ? width - zone.Left : zone.Left;
      if (x >= left && x < left + zone.Width && y >= zone.Top && y < zone.Top + zone.Height) return true;
    }
    return false;
  }

  // A random point inside the main window, in screen coordinates.
  // A random point in the program's window that takes the input: a dialog
  // or menu smaller than the main window and above it, else the main one.
  void Point(int& x, int& y) {
    Window target = window_;
    XWindowAttributes main, a;
    if (!XGetWindowAttributes(display_, window_, &main)) main.width = main.height = 1;
    a = main;
    for (Window w : ProgramWindows()) {  // bottom to top
      XWindowAttributes candidate;
      if (w != window_ && XGetWindowAttributes(display_, w, &candidate) &&
          long(candidate.width) * candidate.height < long(main.width) * main.height) {
        target = w;
        a = candidate;
      }
    }
    int wx, wy;
    do {
      wx = RandomBelow(a.width);
      wy = RandomBelow(a.height);
    } while (target == window_ && Avoided(wx, wy, a.width));
    Window child;
    XTranslateCoordinates(display_, target, root_, wx, wy, &x, &y, &child);
  }

  void Click(unsigned button, int x, int y) {
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
  }

  void Key(KeySym sym, bool shift, bool control) {
    const KeyCode code = XKeysymToKeycode(display_, sym);
    if (!code) return;
    const KeyCode shiftCode = XKeysymToKeycode(display_, XK_Shift_L);
    const KeyCode controlCode = XKeysymToKeycode(display_, XK_Control_L);
    if (shift) XTestFakeKeyEvent(display_, shiftCode, True, CurrentTime);
    if (control) XTestFakeKeyEvent(display_, controlCode, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    if (control) XTestFakeKeyEvent(display_, controlCode, False, CurrentTime);
    if (shift) XTestFakeKeyEvent(display_, shiftCode, False, CurrentTime);
  }

  void Act(int) {
    int x, y;
    const int kind = RandomBelow(100);
    if (kind < 45) {
      Point(x, y);
      Click(profile_.RightClicks && RandomBelow(10) == 0 ? 3 : 1, x, y);
    } else if (kind < 52) {
      Point(x, y);
      Click(1, x, y);
      Click(1, x, y);
    } else if (kind < 60) {
      int x2, y2;
      Point(x, y);
      Point(x2, y2);
      XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
      XTestFakeButtonEvent(display_, 1, True, CurrentTime);
      XTestFakeMotionEvent(display_, -1, (x + x2) / 2, (y + y2) / 2, CurrentTime);
      XTestFakeMotionEvent(display_, -1, x2, y2, CurrentTime);
      XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    } else if (kind < 66) {
      Point(x, y);
      Click(RandomBelow(2) ? 4 : 5, x, y);
    } else {
      const KeySym sym = profile_.Keys[std::size_t(RandomBelow(int(profile_.Keys.size())))];
      // Ctrl+C copies in the viewer and is harmless in the trainer.
      Key(sym, RandomBelow(8) == 0, sym == XK_c && RandomBelow(2) == 0);
    }
    XFlush(display_);
  }

  // Asks every window of the program to close, the main one last, and
  // expects a clean exit.
  void Close() {
    for (int attempt = 0; attempt < 3 && pid_ > 0; ++attempt) {
      std::vector<Window> windows = ProgramWindows();
      for (Window w : windows)
        if (w != window_) SendDelete(w);
      SendDelete(window_);
      const auto deadline = Clock::now() + std::chrono::seconds(20);
      while (Clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
          pid_ = -1;
          if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return;
          Fail(options_, options_.Steps,
               WIFSIGNALED(status) ? "died of signal " + std::to_string(WTERMSIG(status)) + " while closing"
                                   : "closed with status " + std::to_string(WEXITSTATUS(status)));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    }
    Fail(options_, options_.Steps, "the program did not close when asked");
  }

  // The main window as a binary PPM picture (the display is 24-bit TrueColor).
  void SaveScreenshot(const std::string& path) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(display_, window_, &a)) return;
    XImage* image =
        XGetImage(display_, window_, 0, 0, unsigned(a.width), unsigned(a.height), AllPlanes, ZPixmap);
    if (!image) return;
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << a.width << " " << a.height << "\n255\n";
    for (int y = 0; y < a.height; ++y)
      for (int x = 0; x < a.width; ++x) {
        const unsigned long pixel = XGetPixel(image, x, y);
        out.put(char((pixel >> 16) & 0xFF)).put(char((pixel >> 8) & 0xFF)).put(char(pixel & 0xFF));
      }
    XDestroyImage(image);
  }

  void SendDelete(Window w) { SendProtocol(w, delete_, CurrentTime); }

  // A window manager's protocol message to w: the protocol, a time stamp and
  // the window itself, as the window manager sends them.
  void SendProtocol(Window w, Atom protocol, long stamp) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = w;
    event.xclient.message_type = protocols_;
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(protocol);
    event.xclient.data.l[1] = stamp;
    event.xclient.data.l[2] = long(w);
    XSendEvent(display_, w, False, NoEventMask, &event);
    XFlush(display_);
  }

  TOptions options_;
  TProfile profile_;
  std::mt19937 random_;
  Display* display_ = nullptr;
  Window root_ = 0, window_ = 0;
  Atom protocols_ = 0, ping_ = 0, delete_ = 0, pidAtom_ = 0;
  long pingStamp_ = 0;
  pid_t pid_ = -1;
};

}  // namespace

int main(int argc, char** argv) {
  const TOptions options = ParseOptions(argc, argv);
  try {
    TXvfb xvfb;
    if (xvfb.Display().empty()) Fail(options, 0, "Xvfb did not start");
    std::unique_ptr<TWindowManager> windowManager;
    if (!options.WindowManager.empty())
      windowManager = std::make_unique<TWindowManager>(options.WindowManager, xvfb.Display());
    TMonkey monkey(options, xvfb.Display());
    monkey.Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
