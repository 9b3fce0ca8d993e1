// Support for window tests: create the real MainWindow in this process, pump
// its messages until a condition holds, answer modal boxes, popups and dialogs
// of this process from a helper thread, and read back texts and painted pixels.
//
// Everything looks only at windows of this process's UI thread, never at the
// whole desktop: other test programs share the display.
#pragma once

#include <gtest/gtest.h>

#include "GdiObjects.h"
#include "MainWindow.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace uitest {

inline HINSTANCE Module() {
    return GetModuleHandleW(nullptr);
}

// Dispatches every waiting message. WM_QUIT (posted when a window is destroyed)
// is dropped: the tests have no loop for it to end. With an accelerator table,
// each message is offered to it first, as the program's loop does.
inline void PumpPending(HWND target = nullptr, HACCEL accelerators = nullptr) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        if (accelerators && TranslateAcceleratorW(target, accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Pumps until `done` holds or the timeout passes; returns `done`'s last answer.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000, HWND target = nullptr,
                      HACCEL accelerators = nullptr) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        PumpPending(target, accelerators);
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

inline void PumpFor(int ms) {
    PumpUntil([] { return false; }, ms);
}

inline std::wstring WindowText(HWND hwnd) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(hwnd, buffer, 1024);
    return buffer;
}

inline std::wstring ClassOf(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetClassNameW(hwnd, buffer, 256);
    return buffer;
}

// The first visible top-level window of `thread` with this class and caption
// (an empty caption matches any).
inline HWND FindThreadWindow(DWORD thread, const std::wstring& className, const std::wstring& caption) {
    struct Search {
        std::wstring cls, caption;
        HWND found;
    } search{className, caption, nullptr};
    EnumThreadWindows(
        thread,
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (!IsWindowVisible(hwnd) || ClassOf(hwnd) != s->cls) return TRUE;
            if (!s->caption.empty() && WindowText(hwnd) != s->caption) return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// ---- A time limit for each case

// A case still running after its limit (a modal window that nobody answers)
// is failed, and the modal windows of its thread are closed until it returns,
// so that it cannot hold up the cases after it. Installed in every program
// that includes this header.
class CaseWatchdog : public ::testing::EmptyTestEventListener {
public:
    static constexpr int kLimitMs = 20000;

    // For a case that waits longer by design; holds until the case ends.
    static void AllowMs(int ms) {
        std::lock_guard<std::mutex> lock(Instance().mutex_);
        Instance().limitMs_ = ms;
    }

    static CaseWatchdog& Instance() {
        static CaseWatchdog* watchdog = [] {
            auto* w = new CaseWatchdog;
            ::testing::UnitTest::GetInstance()->listeners().Append(w);  // the listener list owns it
            return w;
        }();
        return *watchdog;
    }

    void OnTestStart(const ::testing::TestInfo&) override {
        std::lock_guard<std::mutex> lock(mutex_);
        uiThread_ = GetCurrentThreadId();
        start_ = std::chrono::steady_clock::now();
        limitMs_ = kLimitMs;
        running_ = true;
        fired_ = false;
        if (!worker_.joinable()) worker_ = std::thread([this] { Watch(); });
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        std::lock_guard<std::mutex> lock(mutex_);
        running_ = false;
    }
    void OnTestProgramEnd(const ::testing::UnitTest&) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            quit_ = true;
        }
        if (worker_.joinable()) worker_.join();
    }

private:
    void Watch() {
        int attempt = 0;
        while (true) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            std::lock_guard<std::mutex> lock(mutex_);
            if (quit_) return;
            if (!running_ || std::chrono::steady_clock::now() - start_ < std::chrono::milliseconds(limitMs_)) continue;
            if (!fired_) {
                fired_ = true;
                attempt = 0;
                ADD_FAILURE() << "the case did not end within " << limitMs_ / 1000
                              << " s; its modal windows are being closed";
            }
            if (attempt++ % 5 == 0) CloseModalWindows(attempt / 5);
        }
    }

    // Popup menus get Escape, dialogs and boxes Cancel, then No, then OK (a
    // Yes/No box has no Cancel), other windows of the thread WM_CLOSE; the
    // main window is left to the case.
    void CloseModalWindows(int round) {
        static const int kCommands[] = {IDCANCEL, IDNO, IDOK};
        EnumThreadWindows(
            uiThread_,
            [](HWND hwnd, LPARAM command) -> BOOL {
                if (!IsWindowVisible(hwnd)) return TRUE;
                const std::wstring cls = ClassOf(hwnd);
                if (cls == L"#32768")
                    PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
                else if (cls == L"#32770")
                    PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(command), BN_CLICKED), 0);
                else if (cls != L"TilvoMainWindow")
                    PostMessageW(hwnd, WM_CLOSE, 0, 0);
                return TRUE;
            },
            kCommands[round % 3]);
    }

    std::mutex mutex_;
    DWORD uiThread_ = 0;
    std::chrono::steady_clock::time_point start_;
    int limitMs_ = kLimitMs;
    bool running_ = false, fired_ = false, quit_ = false;
    std::thread worker_;
};

inline const bool kCaseWatchdogInstalled = (CaseWatchdog::Instance(), true);

// Watches this thread's windows from a helper thread while the test thread sits
// in a modal loop (message box, popup menu, dialog). When a window of the given
// class and caption appears, `act` runs on the helper thread with it, once.
class ModalWatcher {
public:
    ModalWatcher(std::wstring className, std::wstring caption, std::function<void(HWND)> act, int timeoutMs = 10000)
        : uiThread(GetCurrentThreadId()) {
        worker = std::thread([this, className, caption, act, timeoutMs] {
            const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
            while (!stop && std::chrono::steady_clock::now() < end) {
                HWND hwnd = FindThreadWindow(uiThread, className, caption);
                if (hwnd) {
                    act(hwnd);
                    seen = true;
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(15));
            }
        });
    }
    ~ModalWatcher() { Finish(); }
    ModalWatcher(const ModalWatcher&) = delete;
    ModalWatcher& operator=(const ModalWatcher&) = delete;

    // Waits for the helper thread; true when the window appeared and was handled.
    bool Finish() {
        stop = true;
        if (worker.joinable()) worker.join();
        return seen;
    }

private:
    DWORD uiThread;
    std::atomic<bool> stop{false};
    std::atomic<bool> seen{false};
    std::thread worker;
};

// What a message box showed and which button the test pressed.
struct BoxRecord {
    std::wstring text;
    bool hadYes = false, hadNo = false, hadCancel = false, hadOk = false;
    std::atomic<bool> done{false};  // set once the fields above are filled
};

// Answers the next message box with this caption by pressing `button`
// (IDYES, IDNO, IDCANCEL, IDOK), after recording its text and buttons.
class MessageBoxAnswer {
public:
    MessageBoxAnswer(const std::wstring& caption, int button, int timeoutMs = 10000)
        : record(std::make_shared<BoxRecord>()),
          watcher(L"#32770", caption,
                  [rec = record, button](HWND box) {
                      wchar_t text[2048] = {};
                      GetDlgItemTextW(box, 0xFFFF, text, 2048);  // the message box's text control
                      rec->text = text;
                      rec->hadYes = GetDlgItem(box, IDYES) != nullptr;
                      rec->hadNo = GetDlgItem(box, IDNO) != nullptr;
                      rec->hadCancel = GetDlgItem(box, IDCANCEL) != nullptr;
                      rec->hadOk = GetDlgItem(box, IDOK) != nullptr;
                      rec->done = true;
                      PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                                   reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
                  },
                  timeoutMs) {}
    bool Answered() { return watcher.Finish(); }
    bool Seen() const { return record->done; }  // safe to poll while the box may still be open
    const BoxRecord& Box() const { return *record; }

private:
    std::shared_ptr<BoxRecord> record;
    ModalWatcher watcher;
};

// One entry of a popup menu as the platform holds it.
struct PopupEntry {
    std::wstring text;  // caption with the tab and shortcut text
    UINT id = 0;
    bool separator = false;
    bool grayed = false;
};

inline std::vector<PopupEntry> ReadMenu(HMENU menu) {
    std::vector<PopupEntry> entries;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        PopupEntry e;
        const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        e.separator = (state & MF_SEPARATOR) != 0;
        e.grayed = (state & (MF_GRAYED | MF_DISABLED)) != 0;
        e.id = GetMenuItemID(menu, i);
        wchar_t text[256] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
        e.text = text;
        entries.push_back(e);
    }
    return entries;
}

// Reads the next popup menu of this thread, runs `whileOpen` (on the helper
// thread, with the popup still up), then dismisses it with Escape, or chooses
// the item at position `choose` with the arrow keys and Enter.
class PopupAnswer {
public:
    explicit PopupAnswer(int choose = -1, int timeoutMs = 10000, std::function<void(HWND)> whileOpen = nullptr)
        : entries(std::make_shared<std::vector<PopupEntry>>()),
          watcher(L"#32768", L"",
                  [out = entries, choose, whileOpen](HWND popup) {
                      HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
                      if (menu) *out = ReadMenu(menu);
                      if (whileOpen) whileOpen(popup);
                      if (choose < 0) {
                          PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
                          return;
                      }
                      for (int i = 0; i <= choose; ++i) PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
                      PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
                  },
                  timeoutMs) {}
    bool Answered() { return watcher.Finish(); }
    const std::vector<PopupEntry>& Entries() const { return *entries; }

private:
    std::shared_ptr<std::vector<PopupEntry>> entries;
    ModalWatcher watcher;
};

// The real main window of the program, made in this process and shown. The
// class is unregistered again at the end so the next test can register it.
class LiveWindow {
public:
    LiveWindow() : window(std::make_unique<MainWindow>(Module())) {
        window->SetStatusRightText(L"v1.0.0");
        created = window->Create(SW_SHOWNORMAL);
        PumpPending();
    }
    ~LiveWindow() {
        window.reset();
        UnregisterClassW(L"TilvoMainWindow", Module());
        PumpPending();
    }
    LiveWindow(const LiveWindow&) = delete;
    LiveWindow& operator=(const LiveWindow&) = delete;

    MainWindow& operator*() { return *window; }
    MainWindow* operator->() { return window.get(); }
    HWND hwnd() const { return window->hwnd; }
    bool Created() const { return created; }

    RECT Client() const {
        RECT r{0, 0, 0, 0};
        GetClientRect(window->hwnd, &r);
        return r;
    }

    // Sends a mouse message with a client point packed as the platform packs it.
    LRESULT Mouse(UINT message, int x, int y, WPARAM keys = 0) {
        return SendMessageW(window->hwnd, message, keys,
                            MAKELPARAM(static_cast<WORD>(static_cast<int16_t>(x)), static_cast<WORD>(static_cast<int16_t>(y))));
    }

    bool IsOpen() const { return window->hwnd && IsWindow(window->hwnd); }

    // Restores the window and gives it a known size at a known place, so that
    // geometry does not depend on the display.
    void Restore(int x, int y, int width, int height) {
        ShowWindow(window->hwnd, SW_RESTORE);
        SetWindowPos(window->hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        PumpPending();
    }

    // Opens a new in-memory project holding these spaces (with their plants).
    void OpenProject(const std::vector<Space>& spaces) {
        ASSERT_TRUE(window->projectManager.CreateNewProject(L"Test Garden", L""));
        for (const Space& s : spaces) {
            Space copy = s;
            copy.plants.clear();
            const int32_t id = window->projectManager.CreateSpace(copy);
            ASSERT_NE(id, -1);
            for (Plant plant : s.plants) {
                plant.spaceId = id;
                ASSERT_NE(window->projectManager.CreatePlant(plant), -1);
            }
        }
        window->UpdateMenuState();
    }

private:
    std::unique_ptr<MainWindow> window;
    bool created = false;
};

// The client area as painted: repaints now (unless told not to: then as it
// stands), then copies the window's pixels. Pixels are 0x00RRGGBB, row by row
// from the top.
class Capture {
public:
    explicit Capture(HWND hwnd, bool repaint = true) {
        if (repaint) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        RECT client;
        GetClientRect(hwnd, &client);
        width = client.right;
        height = client.bottom;
        HDC windowDc = GetDC(hwnd);
        HDC memory = CreateCompatibleDC(windowDc);
        BITMAPINFO info = gdi::TopDown32(width, height);
        void* bits = nullptr;
        HBITMAP dib = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
        GdiFlush();
        const uint32_t* p = static_cast<const uint32_t*>(bits);
        pixels.assign(p, p + static_cast<size_t>(width) * height);
        SelectObject(memory, old);
        DeleteObject(dib);
        DeleteDC(memory);
        ReleaseDC(hwnd, windowDc);
    }

    // The colour at a client point as an RGB() value, or CLR_INVALID outside.
    COLORREF At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
        const uint32_t v = pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF;
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }

    // How many pixels of the rectangle have exactly this colour.
    int Count(const RECT& r, COLORREF colour) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (At(x, y) == colour) ++n;
        return n;
    }

    // True when some pixel of the rectangle is neither of the two colours (text, glyphs).
    bool HasOtherThan(const RECT& r, COLORREF a, COLORREF b = CLR_INVALID) const {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const COLORREF c = At(x, y);
                if (c != a && c != b) return true;
            }
        return false;
    }

    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

// How many pixels differ between the window as the repaints it asked for
// itself leave it and a repaint of the whole client area.
inline size_t PixelsAPartialRepaintMissed(HWND hwnd) {
    UpdateWindow(hwnd);
    const Capture partial(hwnd, false);
    const Capture full(hwnd);
    size_t differing = 0;
    for (size_t i = 0; i < partial.pixels.size(); ++i)
        if ((partial.pixels[i] & 0xFFFFFF) != (full.pixels[i] & 0xFFFFFF)) ++differing;
    return differing;
}

inline Space MakeSpace(const std::wstring& name, std::vector<POINT> polygon, std::vector<Plant> plants = {}) {
    Space s;
    s.name = name;
    s.polygon = std::move(polygon);
    s.plants = std::move(plants);
    return s;
}

inline Plant MakePlant(const std::wstring& name, int x, int y) {
    Plant p;
    p.name = name;
    p.position = POINT{x, y};
    return p;
}

inline std::string Hex(COLORREF c) {
    char buffer[16];
    snprintf(buffer, sizeof(buffer), "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return buffer;
}

// ---- Answering a whole sequence of modal windows

// Answers, in order, the modal windows that one command opens (message boxes,
// file dialogs, the input box, the New Project window) from a helper thread,
// the way a user would: find the window that takes input among the UI
// thread's own windows, fill its edits, press its button. Records what it saw
// of each window for the test to check afterwards.

// Control ids of the platform's dialogs as this Wine builds them.
constexpr int kMessageBoxTextId = 0xFFFF;   // the static with a message box's text
constexpr int kMessageBoxIconId = 0x0440;   // the static with a message box's icon
constexpr int kFileNameEditId = 0x047C;     // the file dialogs' file-name combo/edit
constexpr int kFileTypeComboId = 0x0470;    // the file dialogs' "Files of type" combo
constexpr int kInputBoxEditId = 101;
constexpr int kProjectNameEditId = 1001;
constexpr int kProjectDescriptionEditId = 1002;

// One expected modal window and how to answer it.
struct Answer {
    std::wstring windowClass;                       // "#32770", "InputBoxClass", "ProjectCreateDialogClass"
    std::wstring caption;                           // exact caption to wait for
    std::vector<std::pair<int, std::wstring>> fill;  // control id and text put in before answering
    int command = IDOK;                             // WM_COMMAND id posted to the window
    bool close = false;                             // post WM_CLOSE instead of a command
    UINT key = 0;                                   // post this key to control `keyTarget` instead
    int keyTarget = 0;
};

// What the helper saw of one modal window when it found it.
struct Seen {
    std::wstring windowClass, caption;
    std::wstring message;               // a message box's text
    HICON icon = nullptr;               // a message box's icon
    std::vector<int> buttons;           // ids of the visible push buttons
    std::map<int, std::wstring> texts;  // text of every child control, by id (the last one wins)
    std::vector<std::wstring> fileTypes;  // entries of a file dialog's type combo
    HWND owner = nullptr;
    bool ownerEnabled = false;  // the owner took input while this window was up
    bool fontsSet = true;       // every child control had a font set (WM_GETFONT non-null)
    RECT rect{0, 0, 0, 0};
    LONG style = 0, exStyle = 0;
    bool answered = false;  // false: not expected, dismissed by the helper
};

inline Answer Box(const std::wstring& caption, int button) { return Answer{L"#32770", caption, {}, button}; }
inline Answer FileDialog(const std::wstring& caption, const std::wstring& path) {
    return Answer{L"#32770", caption, {{kFileNameEditId, path}}, IDOK};
}
inline Answer CancelFileDialog(const std::wstring& caption) { return Answer{L"#32770", caption, {}, IDCANCEL}; }
inline Answer Input(const std::wstring& caption, const std::wstring& text, int button = IDOK) {
    return Answer{L"InputBoxClass", caption, {{kInputBoxEditId, text}}, button};
}
inline Answer NewProject(const std::wstring& name, const std::wstring& description, int button = IDOK) {
    return Answer{L"ProjectCreateDialogClass",
                  L"Create New Project",
                  {{kProjectNameEditId, name}, {kProjectDescriptionEditId, description}},
                  button};
}

// Starts answering at construction; Finish() (or the destructor) stops it.
// Windows that do not match the next expected answer, and any window after
// the last one, are recorded as not answered and dismissed, so an unexpected
// box can never hang a test.
class ModalAnswerer {
public:
    explicit ModalAnswerer(std::vector<Answer> answers, DWORD uiThread = GetCurrentThreadId())
        : answers_(std::move(answers)), uiThread_(uiThread) {
        worker_ = std::thread([this] { Run(); });
    }
    ~ModalAnswerer() { Finish(); }
    ModalAnswerer(const ModalAnswerer&) = delete;
    ModalAnswerer& operator=(const ModalAnswerer&) = delete;

    // Stops the helper and returns every window it saw, in order.
    const std::vector<Seen>& Finish() {
        stop_ = true;
        if (worker_.joinable()) worker_.join();
        return seen_;
    }
    // True when every expected answer was given and nothing else showed.
    bool AllAnsweredAndNothingElse() {
        Finish();
        if (next_ != answers_.size()) return false;
        for (const Seen& s : seen_)
            if (!s.answered) return false;
        return true;
    }
    // A one-line account of what was seen, for failure messages (ASCII; other characters as '?').
    std::string Describe() {
        std::string narrow;
        for (wchar_t c : DescribeWide()) narrow += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
        return narrow;
    }
    std::wstring DescribeWide() {
        Finish();
        std::wstring out = L"answered " + std::to_wstring(next_) + L" of " + std::to_wstring(answers_.size()) + L";";
        for (const Seen& s : seen_)
            out += L" [" + s.windowClass + L" '" + s.caption + L"' '" + s.message + L"'" +
                   (s.answered ? L"]" : L" unexpected]");
        return out;
    }

private:
    static std::wstring TextOf(HWND w) {
        const int length = GetWindowTextLengthW(w);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        const int read = GetWindowTextW(w, &text[0], length + 1);
        text.resize(read > 0 ? static_cast<size_t>(read) : 0);
        return text;
    }
    static bool IsModalClass(const std::wstring& c) {
        return c == L"#32770" || c == L"InputBoxClass" || c == L"ProjectCreateDialogClass";
    }

    // The visible, enabled modal window of the UI thread: the one that takes input now.
    HWND FindActiveModal() {
        struct Search {
            HWND found = nullptr;
        } search;
        EnumThreadWindows(
            uiThread_,
            [](HWND w, LPARAM p) -> BOOL {
                if (!IsWindowVisible(w) || !IsWindowEnabled(w) || !IsModalClass(ClassOf(w))) return TRUE;
                reinterpret_cast<Search*>(p)->found = w;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    Seen Inspect(HWND w) {
        Seen s;
        s.windowClass = ClassOf(w);
        s.caption = TextOf(w);
        s.owner = GetWindow(w, GW_OWNER);
        s.ownerEnabled = s.owner && IsWindowEnabled(s.owner);
        GetWindowRect(w, &s.rect);
        s.style = GetWindowLongW(w, GWL_STYLE);
        s.exStyle = GetWindowLongW(w, GWL_EXSTYLE);
        EnumChildWindows(
            w,
            [](HWND child, LPARAM p) -> BOOL {
                auto* seen = reinterpret_cast<Seen*>(p);
                const int id = GetDlgCtrlID(child);
                seen->texts[id] = TextOf(child);
                if (!SendMessageW(child, WM_GETFONT, 0, 0)) seen->fontsSet = false;
                if (ClassOf(child) == L"Button" && IsWindowVisible(child) &&
                    (GetWindowLongW(child, GWL_STYLE) & 0x0F) <= BS_DEFPUSHBUTTON)
                    seen->buttons.push_back(id);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&s));
        if (s.windowClass == L"#32770") {
            if (HWND text = GetDlgItem(w, kMessageBoxTextId)) s.message = TextOf(text);
            s.icon = reinterpret_cast<HICON>(SendDlgItemMessageW(w, kMessageBoxIconId, STM_GETICON, 0, 0));
            if (HWND types = GetDlgItem(w, kFileTypeComboId)) {
                const LRESULT count = SendMessageW(types, CB_GETCOUNT, 0, 0);
                for (LRESULT i = 0; i < count; ++i) {
                    wchar_t item[256] = {};
                    if (SendMessageW(types, CB_GETLBTEXTLEN, i, 0) < 255)
                        SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
                    s.fileTypes.push_back(item);
                }
            }
        }
        return s;
    }

    void Dismiss(HWND w, const std::wstring& windowClass) {
        if (windowClass == L"#32770")
            PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
        else
            PostMessageW(w, WM_CLOSE, 0, 0);
    }

    void Respond(HWND w, const Answer& a) {
        for (const auto& f : a.fill) SetDlgItemTextW(w, f.first, f.second.c_str());
        if (a.key)
            PostMessageW(GetDlgItem(w, a.keyTarget), WM_KEYDOWN, a.key, 1);
        else if (a.close)
            PostMessageW(w, WM_CLOSE, 0, 0);
        else
            PostMessageW(w, WM_COMMAND, MAKEWPARAM(a.command, BN_CLICKED), 0);
    }

    void Run() {
        HWND handled = nullptr;
        DWORD handledAt = 0;
        while (!stop_) {
            HWND w = FindActiveModal();
            // A window that is still there 2 s after its answer ignored it:
            // look at it again, so that a wrong answer cannot hang the test.
            if (!w || (w == handled && GetTickCount() - handledAt < 2000)) {
                if (handled && !IsWindow(handled)) handled = nullptr;
                Sleep(20);
                continue;
            }
            Sleep(50);  // let the window finish its set-up (focus, centring, initial texts)
            if (!IsWindow(w)) continue;
            Seen s = Inspect(w);
            const bool expected = next_ < answers_.size() && answers_[next_].windowClass == s.windowClass &&
                                  answers_[next_].caption == s.caption;
            s.answered = expected;
            seen_.push_back(s);
            if (expected)
                Respond(w, answers_[next_++]);
            else
                Dismiss(w, s.windowClass);
            handled = w;
            handledAt = GetTickCount();
        }
    }

    std::vector<Answer> answers_;
    DWORD uiThread_;
    std::vector<Seen> seen_;
    size_t next_ = 0;
    std::atomic<bool> stop_{false};
    std::thread worker_;
};

}  // namespace uitest
