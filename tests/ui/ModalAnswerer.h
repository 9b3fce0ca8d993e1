// Answers the modal windows that a command opens (message boxes, file dialogs,
// the input box, the New Project window) from a helper thread, the way a user
// would: find the window among the UI thread's own windows, fill its edits,
// press its button. Records what it saw for the test to check afterwards.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace uitest {

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
    RECT rect{0, 0, 0, 0};
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
    static std::wstring ClassOf(HWND w) {
        wchar_t name[128] = {};
        GetClassNameW(w, name, 128);
        return name;
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
        EnumChildWindows(
            w,
            [](HWND child, LPARAM p) -> BOOL {
                auto* seen = reinterpret_cast<Seen*>(p);
                const int id = GetDlgCtrlID(child);
                seen->texts[id] = TextOf(child);
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
        while (!stop_) {
            HWND w = FindActiveModal();
            if (!w || w == handled) {
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
