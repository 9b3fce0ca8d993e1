// Drives the resource dialogs of this thread from a helper thread while the
// test thread sits in DialogBoxParamW: waits for each expected dialog or
// message box (by caption, among this thread's own windows), then acts on it
// through its real controls. Anything still open after the last step is
// cancelled, so a wrong result can never hang the test.
#pragma once

#include <gtest/gtest.h>

#include "UiTestSupport.h"

#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace uitest {

// The file dialogs' file-name box and type list, as Wine builds them.
constexpr int kFileNameBoxId = 0x047C;
constexpr int kFileTypeListId = 0x0470;
constexpr int kBoxTextId = 0xFFFF;  // the static holding a message box's text

struct Step {
    std::wstring caption;            // exact caption of the window to wait for
    std::function<void(HWND)> act;   // runs on the helper thread with that window
};

// The visible, enabled "#32770" window of `thread` with this caption: the
// dialog or box that takes input now (its owners are disabled meanwhile).
// `exclude` is passed over: the window a step has just answered may still be
// up for a moment.
inline HWND FindActiveDialog(DWORD thread, const std::wstring& caption, HWND exclude = nullptr) {
    struct Search {
        std::wstring caption;
        HWND exclude;
        HWND found;
    } search{caption, exclude, nullptr};
    EnumThreadWindows(
        thread,
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (hwnd == s->exclude || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd) || ClassOf(hwnd) != L"#32770")
                return TRUE;
            if (!s->caption.empty() && WindowText(hwnd) != s->caption) return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class DialogDriver {
public:
    explicit DialogDriver(std::vector<Step> steps, int stepTimeoutMs = 10000)
        : steps_(std::move(steps)), uiThread_(GetCurrentThreadId()), timeoutMs_(stepTimeoutMs) {
        worker_ = std::thread([this] { Run(); });
    }
    ~DialogDriver() { Finish(); }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Waits for the helper; true when every step ran and nothing was left open.
    bool Finish() {
        stop_ = true;
        if (worker_.joinable()) worker_.join();
        return ran_ == steps_.size() && !leftover_;
    }
    std::string Log() {
        Finish();
        std::string narrow;
        for (wchar_t c : log_) narrow += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
        return narrow;
    }

private:
    void Run() {
        HWND last = nullptr;
        for (const Step& step : steps_) {
            const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs_);
            HWND hwnd = nullptr;
            while (true) {
                hwnd = FindActiveDialog(uiThread_, step.caption, last);
                if (hwnd) {
                    Sleep(60);  // let the dialog finish its set-up (initial texts, focus, position)
                    if (IsWindow(hwnd) && IsWindowEnabled(hwnd)) break;
                }
                if (std::chrono::steady_clock::now() >= end) {
                    log_ += L" [missing '" + step.caption + L"']";
                    CancelLeftovers(0);
                    return;
                }
                Sleep(15);
            }
            step.act(hwnd);
            last = hwnd;
            log_ += L" [ran '" + step.caption + L"']";
            ++ran_;
        }
        CancelLeftovers(3000);
    }

    // Cancels every dialog of the thread that is still open `graceMs` after
    // the last step, until the test thread calls Finish().
    void CancelLeftovers(int graceMs) {
        const auto grace = std::chrono::steady_clock::now() + std::chrono::milliseconds(graceMs);
        while (!stop_) {
            if (std::chrono::steady_clock::now() >= grace) {
                if (HWND hwnd = FindActiveDialog(uiThread_, L"")) {
                    leftover_ = true;
                    log_ += L" [left open '" + WindowText(hwnd) + L"']";
                    PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
                    Sleep(200);
                    continue;
                }
            }
            Sleep(15);
        }
    }

    std::vector<Step> steps_;
    DWORD uiThread_;
    int timeoutMs_;
    std::atomic<bool> stop_{false};
    std::atomic<size_t> ran_{0};
    std::atomic<bool> leftover_{false};
    std::wstring log_;
    std::thread worker_;
};

// ---- Acting on a dialog's controls (from the helper thread)

inline void Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Posts a key to the control that has the focus in the UI thread, as the
// keyboard would; the dialog manager turns Enter and Escape into commands.
inline void PressKey(HWND dialog, UINT key) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    HWND target = dialog;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) && info.hwndFocus) target = info.hwndFocus;
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

// Real key strokes (SendInput): like the keyboard's, they go to the window
// that has the keyboard focus of the display, whichever it is, and they set
// the key state that the controls read (Shift, Ctrl). `modifier` is held
// down around the key when given.
inline void StrikeKey(WORD key, WORD modifier = 0) {
    std::vector<INPUT> inputs;
    auto add = [&inputs](WORD vk, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (modifier) add(modifier, false);
    add(key, false);
    add(key, true);
    if (modifier) add(modifier, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Types `text` as key strokes of its characters.
inline void TypeText(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT inputs[2] = {};
        for (int i = 0; i < 2; ++i) {
            inputs[i].type = INPUT_KEYBOARD;
            inputs[i].ki.wScan = c;
            inputs[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
        }
        SendInput(2, inputs, sizeof(INPUT));
    }
}

// A window of a thread of its own, standing in for another program's window on
// the display: it counts the times the system makes it the active window.
class OtherWindow {
public:
    OtherWindow() {
        worker_ = std::thread([this] { Run(); });
        while (!ready_) Sleep(5);
    }
    ~OtherWindow() {
        if (hwnd_) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        worker_.join();
    }
    explicit operator bool() const { return hwnd_ != nullptr; }
    OtherWindow(const OtherWindow&) = delete;
    OtherWindow& operator=(const OtherWindow&) = delete;

    // Activations so far, once the window's thread has handled what was sent to it.
    int Activations() const {
        SendMessageW(hwnd_, WM_NULL, 0, 0);
        return activations_;
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<OtherWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE && self) ++self->activations_;
        if (message == WM_DESTROY) PostQuitMessage(0);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    void Run() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TilvoTestOtherWindow";
        RegisterClassW(&wc);
        HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"Other", WS_OVERLAPPEDWINDOW, 40, 40, 300, 200, nullptr,
                                    nullptr, wc.hInstance, nullptr);
        if (hwnd) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            ShowWindow(hwnd, SW_SHOWNOACTIVATE);  // above the main window, but not active
            hwnd_ = hwnd;
        }
        ready_ = true;
        MSG msg;
        while (hwnd && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        UnregisterClassW(wc.lpszClassName, wc.hInstance);
    }

    std::atomic<bool> ready_{false};
    std::atomic<HWND> hwnd_{nullptr};
    std::atomic<int> activations_{0};
    std::thread worker_;
};

// After a modal window closed: the main window has the keyboard again, and
// the system never handed it to `other` meanwhile. The main window is
// enabled, active and focused, and a command key struck now reaches it
// through the program's loop (accelerators first): Ctrl+R, Rename Space,
// which without a selected space only answers in the status strip.
inline void ExpectKeyboardBack(MainWindow& window, const OtherWindow& other, const std::string& after) {
    PumpPending();
    ASSERT_TRUE(other);
    EXPECT_EQ(other.Activations(), 0) << after;
    EXPECT_TRUE(IsWindowEnabled(window.hwnd)) << after;
    EXPECT_EQ(GetForegroundWindow(), window.hwnd) << after;
    EXPECT_EQ(GetActiveWindow(), window.hwnd) << after;
    EXPECT_EQ(GetFocus(), window.hwnd) << after;
    window.SetStatusText(L"");
    StrikeKey('R', VK_CONTROL);
    EXPECT_TRUE(PumpUntil([&] { return window.statusText == L"Please select a space to rename."; }, 5000,
                          window.hwnd, window.accelerators))
        << after << ": Ctrl+R did not reach the main window";
}

inline std::wstring ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

// A message box as it showed: caption, text, icon and buttons.
struct BoxSeen {
    std::wstring caption, text;
    HICON icon = nullptr;
    bool ok = false, yes = false, no = false, cancel = false;
    HWND owner = nullptr;
};

// Records the box and presses `button`.
inline std::function<void(HWND)> AnswerBox(BoxSeen& seen, int button = IDOK) {
    return [&seen, button](HWND box) {
        seen.caption = WindowText(box);
        seen.text = ItemText(box, kBoxTextId);
        seen.icon = reinterpret_cast<HICON>(SendDlgItemMessageW(box, 0x0440, STM_GETICON, 0, 0));
        seen.ok = GetDlgItem(box, IDOK) != nullptr;
        seen.yes = GetDlgItem(box, IDYES) != nullptr;
        seen.no = GetDlgItem(box, IDNO) != nullptr;
        seen.cancel = GetDlgItem(box, IDCANCEL) != nullptr && IsWindowVisible(GetDlgItem(box, IDCANCEL));
        seen.owner = GetWindow(box, GW_OWNER);
        Press(box, button);
    };
}

// ---- List views (the calls work across threads of one process)

inline int ListCount(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

inline std::wstring ListText(HWND list, int row) {
    wchar_t buffer[512] = {};
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = buffer;
    item.cchTextMax = 512;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

// The row's check-box state image: 1 unticked, 2 ticked, 0 none.
inline UINT ListCheckImage(HWND list, int row) {
    return static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK)) >>
           12;
}

inline void ListTick(HWND list, int row, bool ticked) {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = ticked ? 0x2000 : 0x1000;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// ---- The save dialog

struct SaveSeen {
    std::wstring caption, presetName;
    std::vector<std::wstring> types;
    HWND owner = nullptr;
};

// Records the save dialog's preset name and type list, then enters `path`
// (empty: presses Cancel instead).
inline std::function<void(HWND)> AnswerSave(SaveSeen& seen, const std::wstring& path) {
    return [&seen, path](HWND dialog) {
        seen.caption = WindowText(dialog);
        seen.presetName = ItemText(dialog, kFileNameBoxId);
        seen.owner = GetWindow(dialog, GW_OWNER);
        if (HWND types = GetDlgItem(dialog, kFileTypeListId)) {
            const LRESULT count = SendMessageW(types, CB_GETCOUNT, 0, 0);
            for (LRESULT i = 0; i < count; ++i) {
                wchar_t item[256] = {};
                if (SendMessageW(types, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < 255)
                    SendMessageW(types, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
                seen.types.push_back(item);
            }
        }
        if (path.empty()) {
            Press(dialog, IDCANCEL);
            return;
        }
        SetDlgItemTextW(dialog, kFileNameBoxId, path.c_str());
        Press(dialog, IDOK);
    };
}

}  // namespace uitest

// ---- A live main window with a project, and resource dialogs run on it

namespace uitest {

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        dir = std::wstring(temp) + L"tilvo-dialogs-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(++counter) + L"\\";
        CreateDirectoryW(dir.c_str(), nullptr);
        live = std::make_unique<LiveWindow>();
        ASSERT_TRUE(live->Created());
        window = &**live;
    }
    void TearDown() override {
        window = nullptr;
        live.reset();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        std::wstring pattern = dir + L"*";
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(pattern.c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((dir + found.cFileName).c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(dir.c_str());
    }

    ProjectManager& Store() { return window->projectManager; }
    void Open(const std::wstring& name = L"Plot") { ASSERT_TRUE(Store().CreateNewProject(name, L"")); }
    int32_t AddSpace(const std::wstring& name, std::vector<POINT> polygon) {
        Space space;
        space.name = name;
        space.polygon = std::move(polygon);
        const int32_t id = Store().CreateSpace(space);
        EXPECT_GE(id, 0);
        return id;
    }
    static std::vector<POINT> Box(LONG left, LONG top, LONG right, LONG bottom) {
        return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    }
    int32_t AddPlant(int32_t spaceId, const std::wstring& name, LONG x = 0, LONG y = 0) {
        Plant plant;
        plant.spaceId = spaceId;
        plant.name = name;
        plant.position = {x, y};
        const int32_t id = Store().CreatePlant(plant);
        EXPECT_GE(id, 0);
        return id;
    }
    // Leaves the maximised state and puts the main window at this rectangle.
    void PlaceMainWindow(int x, int y, int width, int height) {
        ShowWindow(window->hwnd, SW_RESTORE);
        SetWindowPos(window->hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        PumpPending();
    }
    // Runs a dialog as its command does, while `steps` answer it; returns its result.
    INT_PTR RunDialog(int templateId, DLGPROC proc, LPARAM param, std::vector<Step> steps,
                      HINSTANCE module = nullptr) {
        DialogDriver driver(std::move(steps));
        const INT_PTR result = DialogBoxParamW(module ? module : window->instance, MAKEINTRESOURCEW(templateId),
                                               window->hwnd, proc, param);
        EXPECT_TRUE(driver.Finish()) << driver.Log();
        return result;
    }
    LPARAM Self() { return reinterpret_cast<LPARAM>(window); }

    std::wstring dir;
    std::unique_ptr<LiveWindow> live;
    MainWindow* window = nullptr;
};

// The texts of a dialog's children with this id (-1 for the unnamed statics), in order.
inline std::vector<std::wstring> ChildTexts(HWND dialog, int id) {
    struct Search {
        int id;
        std::vector<std::wstring> texts;
    } search{id, {}};
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (static_cast<int>(static_cast<int16_t>(GetDlgCtrlID(child))) == s->id ||
                GetDlgCtrlID(child) == s->id)
                s->texts.push_back(WindowText(child));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.texts;
}

inline RECT WindowRect(HWND hwnd) {
    RECT r{0, 0, 0, 0};
    GetWindowRect(hwnd, &r);
    return r;
}

// Where a window of this size is centred on `reference`, truncating toward zero.
inline POINT CentredOn(const RECT& reference, const RECT& own) {
    return POINT{reference.left + ((reference.right - reference.left) - (own.right - own.left)) / 2,
                 reference.top + ((reference.bottom - reference.top) - (own.bottom - own.top)) / 2};
}

}  // namespace uitest
