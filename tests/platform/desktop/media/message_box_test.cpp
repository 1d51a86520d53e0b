// MessageBoxA as a user answers it: the box is found on the X display by its caption and
// answered with Return or Escape pressed through the X server; without a display the text
// goes to stderr instead. Runs under a private Xvfb.
#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include <SDL.h>

#include "platform/win32.h"

// Xlib's macros (None, Bool, Status...) would break the headers above, so it comes last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

extern char** environ;

namespace {

constexpr auto kFindLimit = std::chrono::seconds(60);
constexpr auto kPollStep = std::chrono::milliseconds(20);
constexpr int kKeyAttempts = 3;
constexpr char kAnswerFlag[] = "--answer";

// The title as the window manager would show it (_NET_WM_NAME, UTF-8).
bool HasTitle(Display* display, Window window, const std::string& title) {
    Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) != Success) {
        return false;
    }
    bool same = data && type == utf8 && format == 8 &&
                std::string(reinterpret_cast<char*>(data), count) == title;
    if (data) XFree(data);
    return same;
}

Window FindViewable(Display* display, Window parent, const std::string& title) {
    Window root = 0, up = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        if (HasTitle(display, children[i], title) &&
            XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable) {
            found = children[i];
        } else {
            found = FindViewable(display, children[i], title);
        }
    }
    if (children) XFree(children);
    return found;
}

// Waits for a viewable window with this title; 0 if none appears in time.
Window WaitForWindow(Display* display, const std::string& title) {
    auto deadline = std::chrono::steady_clock::now() + kFindLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        Window window = FindViewable(display, DefaultRootWindow(display), title);
        if (window) return window;
        std::this_thread::sleep_for(kPollStep);
    }
    return 0;
}

int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

// The answering side, run in a process of its own: Xlib keeps process-wide state that must
// not be shared with the X connection SDL opens for the box. Finds the box, focuses it and
// presses the key as a keyboard would (XTEST, via xdotool); the exit status says how it went.
int RunAnswerer(const std::string& caption, const char* key) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "answerer: no X display to look for the box on\n");
        return 2;
    }
    XSetErrorHandler(IgnoreXErrors);  // windows may vanish between query and use
    Window box = WaitForWindow(display, caption);
    XCloseDisplay(display);
    if (!box) {
        std::fprintf(stderr, "answerer: no box titled \"%s\" appeared\n", caption.c_str());
        return 3;
    }
    std::string command = "timeout 30 xdotool windowfocus --sync " + std::to_string(box) + " key " +
                          key + " >/dev/null 2>&1";
    for (int attempt = 0; attempt < kKeyAttempts; ++attempt) {
        if (std::system(command.c_str()) == 0) return 0;
    }
    std::fprintf(stderr, "answerer: could not press %s on \"%s\"\n", key, caption.c_str());
    return 4;
}

// Shows the box while an answerer process presses the key. A box nobody could answer would
// block for good, so a failed answerer ends the test program then and there.
int ShowAndAnswer(const std::string& caption, UINT type, const char* key) {
    char self[] = "/proc/self/exe";
    std::string flag = kAnswerFlag;
    std::string captionArg = caption;
    std::string keyArg = key;
    char* argv[] = {self, flag.data(), captionArg.data(), keyArg.data(), nullptr};
    pid_t answerer = -1;
    if (posix_spawn(&answerer, self, nullptr, nullptr, argv, environ) != 0) {
        ADD_FAILURE() << "cannot start the answerer";
        return -1;
    }
    std::atomic<bool> answered{false};
    std::thread watchdog([answerer, &answered] {
        int status = 0;
        waitpid(answerer, &status, 0);
        if (!(WIFEXITED(status) && WEXITSTATUS(status) == 0) && !answered) {
            std::fprintf(stderr, "the box was never answered\n");
            std::_Exit(1);
        }
    });
    int answer = MessageBoxA(nullptr, "Press a key to answer.", caption.c_str(), type);
    answered = true;
    watchdog.join();
    return answer;
}

TEST(MessageBox, YesNoAnswersFromTheKeyboard) {
    EXPECT_EQ(ShowAndAnswer("Question Return", MB_YESNO | MB_ICONQUESTION, "Return"), IDYES);
    EXPECT_EQ(ShowAndAnswer("Question Escape", MB_YESNO | MB_ICONQUESTION, "Escape"), IDNO);
}

TEST(MessageBox, OkBoxesAnswerOkToEitherKey) {
    struct Icon {
        const char* name;
        UINT flag;
    };
    constexpr Icon kIcons[] = {{"exclamation", MB_ICONEXCLAMATION},
                               {"stop", MB_ICONSTOP},
                               {"information", MB_ICONINFORMATION}};
    for (const Icon& icon : kIcons) {
        for (const char* key : {"Return", "Escape"}) {
            std::string caption = std::string("OK ") + icon.name + " " + key;
            EXPECT_EQ(ShowAndAnswer(caption, MB_OK | icon.flag, key), IDOK) << caption;
        }
    }
}

// The texts the program uses, spaces and punctuation included, arrive as the title intact.
TEST(MessageBox, TitleIsTheCaptionAsGiven) {
    EXPECT_EQ(ShowAndAnswer("Start FullScreen?", MB_YESNO | MB_ICONQUESTION, "Escape"), IDNO);
    EXPECT_EQ(ShowAndAnswer("SHUTDOWN ERROR", MB_OK | MB_ICONINFORMATION, "Return"), IDOK);
}

// The program's start-up code brings SDL video up before the first box, and error boxes
// appear while the demo's window is open: SDL then shows them through its video driver.
TEST(MessageBox, AnswersWhileAWindowIsOpen) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("Behind the box", 0, 0, 320, 240, SDL_WINDOW_SHOWN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    EXPECT_EQ(ShowAndAnswer("ERROR over a window", MB_OK | MB_ICONEXCLAMATION, "Return"), IDOK);
    EXPECT_EQ(ShowAndAnswer("Question over a window", MB_YESNO | MB_ICONQUESTION, "Escape"), IDNO);
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

// Captures what MessageBoxA writes to stderr while it runs.
int CallCapturingStderr(LPCSTR text, LPCSTR caption, UINT type, std::string* written) {
    testing::internal::CaptureStderr();
    int answer = MessageBoxA(nullptr, text, caption, type);
    *written = testing::internal::GetCapturedStderr();
    return answer;
}

TEST(MessageBox, WithoutADisplayTheTextGoesToStderr) {
    std::string saved = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    unsetenv("DISPLAY");
    std::string written;
    int answer =
        CallCapturingStderr("Program will now close.", "ERROR", MB_OK | MB_ICONSTOP, &written);
    if (!saved.empty()) setenv("DISPLAY", saved.c_str(), 1);
    EXPECT_EQ(answer, 0) << "fails as a Win32 box that cannot be created";
    EXPECT_NE(written.find("ERROR"), std::string::npos) << written;
    EXPECT_NE(written.find("Program will now close."), std::string::npos) << written;
}

TEST(MessageBox, ButtonSetsItDoesNotOfferFailVisibly) {
    std::string written;
    EXPECT_EQ(CallCapturingStderr("Proceed?", "Cancel box", MB_OKCANCEL, &written), 0);
    EXPECT_NE(written.find("Proceed?"), std::string::npos) << written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], kAnswerFlag) == 0) return RunAnswerer(argv[2], argv[3]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
