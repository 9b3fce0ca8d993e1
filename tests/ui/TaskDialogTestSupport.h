// Support for the task dialog tests: a project to work on, a way to run code
// on the UI thread from the helper thread while a dialog's modal loop runs, and
// a script runner that drives the dialogs of this process the way a user would
// (find the window, fill its controls, tick list rows, press buttons).
#pragma once

#include "UiTestSupport.h"

#include <commctrl.h>

#include "dialogs/TaskDialog.h"
#include "dialogs/TaskListDialog.h"
#include "resource.h"

namespace tasktest {

using uitest::FindThreadWindow;
using uitest::WindowText;

// Runs functions on the thread that made it: the helper thread sends it a
// message and waits, so the store is only ever touched on the UI thread.
class UiInvoker {
public:
    UiInvoker() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message == WM_APP) {
                (*reinterpret_cast<const std::function<void()>*>(lParam))();
                return 0;
            }
            return DefWindowProcW(hwnd, message, wParam, lParam);
        };
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TilvoTestUiInvoker";
        RegisterClassW(&wc);
        hwnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    ~UiInvoker() { DestroyWindow(hwnd); }
    UiInvoker(const UiInvoker&) = delete;
    UiInvoker& operator=(const UiInvoker&) = delete;

    void Run(const std::function<void()>& fn) const {
        SendMessageW(hwnd, WM_APP, 0, reinterpret_cast<LPARAM>(&fn));
    }

private:
    HWND hwnd = nullptr;
};

// ---- Reading and setting controls of a dialog from the helper thread

inline HWND Item(HWND dialog, int id) {
    return GetDlgItem(dialog, id);
}

inline std::wstring ItemText(HWND dialog, int id) {
    return WindowText(Item(dialog, id));
}

inline std::wstring LongItemText(HWND dialog, int id) {
    std::wstring text(4096, L'\0');
    const int n = GetWindowTextW(Item(dialog, id), &text[0], 4096);
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return text;
}

inline void SetText(HWND dialog, int id, const std::wstring& text) {
    SendMessageW(Item(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

inline int Rows(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

inline std::wstring CellText(HWND list, int row, int subItem = 0) {
    wchar_t buffer[2048] = {};
    LVITEMW item{};
    item.iSubItem = subItem;
    item.pszText = buffer;
    item.cchTextMax = 2048;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

inline std::vector<std::wstring> RowTexts(HWND list, int subItem = 0) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < Rows(list); ++i) texts.push_back(CellText(list, i, subItem));
    return texts;
}

inline bool Ticked(HWND list, int row) {
    const UINT state = static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
    return (state & LVIS_STATEIMAGEMASK) == 0x2000;
}

inline std::vector<bool> Ticks(HWND list) {
    std::vector<bool> ticks;
    for (int i = 0; i < Rows(list); ++i) ticks.push_back(Ticked(list, i));
    return ticks;
}

// Ticks or unticks a row's check box, as a click on the box does.
inline void Tick(HWND list, int row, bool ticked = true) {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = ticked ? 0x2000 : 0x1000;
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

inline void Select(HWND list, int row, bool selected = true) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = selected ? (LVIS_SELECTED | LVIS_FOCUSED) : 0;
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

struct ColumnInfo {
    std::wstring title;
    int width = 0;
};

inline std::vector<ColumnInfo> Columns(HWND list) {
    std::vector<ColumnInfo> columns;
    for (int i = 0; i < 16; ++i) {
        wchar_t buffer[256] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = buffer;
        column.cchTextMax = 256;
        if (!SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column))) break;
        columns.push_back({buffer, column.cx});
    }
    return columns;
}

inline bool Checked(HWND dialog, int id) {
    return SendMessageW(Item(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

inline bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(Item(dialog, id)) != FALSE;
}

// Clicks a check box the way the mouse does: its state flips and the dialog gets BN_CLICKED.
inline void ClickCheckBox(HWND dialog, int id) {
    SendMessageW(Item(dialog, id), BM_CLICK, 0, 0);
}

inline SYSTEMTIME PickerDate(HWND dialog, int id, LRESULT* result = nullptr) {
    SYSTEMTIME date{};
    const LRESULT r = SendMessageW(Item(dialog, id), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
    if (result) *result = r;
    return date;
}

// Sets the picker's date.
inline void PickDate(HWND dialog, int id, int year, int month, int day) {
    SYSTEMTIME date{};
    date.wYear = static_cast<WORD>(year);
    date.wMonth = static_cast<WORD>(month);
    date.wDay = static_cast<WORD>(day);
    SendMessageW(Item(dialog, id), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
}

// Presses a push button. Posted: the press may open a modal box that the
// script answers next.
inline void Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(dialog, id)));
}

// True when the keyboard focus of `thread` is on `control`. Other programs on
// the same X display can take the focus away from the whole thread; then no
// window of it has the focus, and that is accepted too.
inline bool FocusOnOrAway(DWORD thread, HWND control) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(thread, &info);
    return info.hwndFocus == control || info.hwndFocus == nullptr;
}

// True when the keyboard focus of `thread` is on `control`, or the thread has
// no active window at all (another program on the display took the focus).
// A thread whose dialog is active but has no focus window fails: keys then
// reach nothing.
inline bool FocusOnOrInactive(DWORD thread, HWND control) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(thread, &info);
    return info.hwndFocus == control || info.hwndActive == nullptr;
}

// What a message box showed.
struct BoxSeen {
    std::wstring caption, text;
    HWND owner = nullptr;
    bool warningIcon = false, errorIcon = false, questionIcon = false;
    bool yes = false, no = false, ok = false;
};

// Runs a script on a helper thread while the test thread sits in a dialog's
// modal loop. The script waits for windows of the UI thread and acts on them.
// When it returns, dialogs still open are closed so that no test can hang;
// that counts as a failure.
class DialogScript {
public:
    explicit DialogScript(std::function<void(DialogScript&)> script, int timeoutMs = 20000)
        : uiThread(GetCurrentThreadId()), deadline(std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs)) {
        worker = std::thread([this, script] {
            script(*this);
            CloseLeftovers();
        });
    }
    ~DialogScript() { Finish(); }
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    void Finish() {
        if (worker.joinable()) worker.join();
    }
    bool LeftDialogsOpen() const { return leftovers; }

    // The visible window of the UI thread with this class and caption, or null
    // once the script's time is up.
    HWND Wait(const std::wstring& className, const std::wstring& caption) {
        while (std::chrono::steady_clock::now() < deadline) {
            if (HWND hwnd = FindThreadWindow(uiThread, className, caption)) return hwnd;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return nullptr;
    }
    HWND WaitDialog(const std::wstring& caption) { return Wait(L"#32770", caption); }

    // True when the window closed before the time ran out.
    bool WaitGone(HWND hwnd, int ms = 5000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            if (!IsWindow(hwnd) || !IsWindowVisible(hwnd)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    // True when no window of this class and caption shows up within `ms`.
    bool StaysAway(const std::wstring& className, const std::wstring& caption, int ms = 400) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            if (FindThreadWindow(uiThread, className, caption)) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    // Waits for the message box with this caption, records it and presses `button`.
    BoxSeen Answer(const std::wstring& caption, int button) {
        BoxSeen seen;
        HWND box = WaitDialog(caption);
        if (!box) return seen;
        seen.caption = caption;
        wchar_t text[2048] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 2048);
        seen.text = text;
        seen.owner = GetWindow(box, GW_OWNER);
        const HICON icon = reinterpret_cast<HICON>(SendDlgItemMessageW(box, 0x0440, STM_GETICON, 0, 0));
        seen.warningIcon = icon && icon == LoadIconW(nullptr, IDI_WARNING);
        seen.errorIcon = icon && icon == LoadIconW(nullptr, IDI_ERROR);
        seen.questionIcon = icon && icon == LoadIconW(nullptr, IDI_QUESTION);
        seen.yes = GetDlgItem(box, IDYES) != nullptr;
        seen.no = GetDlgItem(box, IDNO) != nullptr;
        seen.ok = GetDlgItem(box, IDOK) != nullptr;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
        WaitGone(box);
        return seen;
    }

    DWORD UiThread() const { return uiThread; }

private:
    void CloseLeftovers() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (std::chrono::steady_clock::now() < end) {
            if (!FindThreadWindow(uiThread, L"#32770", L"")) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        leftovers = true;
        while (HWND open = FindThreadWindow(uiThread, L"#32770", L"")) {
            PostMessageW(open, WM_COMMAND, IDCANCEL, 0);
            PostMessageW(open, WM_CLOSE, 0, 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }

    DWORD uiThread;
    std::chrono::steady_clock::time_point deadline;
    std::atomic<bool> leftovers{false};
    std::thread worker;
};

// ---- The project the tests work on

// Spaces "Front bed" (plants Rose, Tulip) and "Back" (plant Oak), in that order.
struct Garden {
    int32_t front = -1, back = -1;
    int32_t rose = -1, tulip = -1, oak = -1;
};

inline int32_t AddSpace(ProjectManager& store, const std::wstring& name, int x) {
    Space space;
    space.name = name;
    space.polygon = {POINT{x, 100}, POINT{x + 200, 100}, POINT{x + 200, 300}, POINT{x, 300}};
    return store.CreateSpace(space);
}

inline int32_t AddPlant(ProjectManager& store, int32_t spaceId, const std::wstring& name, int x) {
    Plant plant;
    plant.spaceId = spaceId;
    plant.name = name;
    plant.position = POINT{x, 150};
    return store.CreatePlant(plant);
}

inline Garden MakeGarden(ProjectManager& store) {
    Garden g;
    store.CreateNewProject(L"Garden", L"");
    g.front = AddSpace(store, L"Front bed", 100);
    g.back = AddSpace(store, L"Back", 400);
    g.rose = AddPlant(store, g.front, L"Rose", 150);
    g.tulip = AddPlant(store, g.front, L"Tulip", 200);
    g.oak = AddPlant(store, g.back, L"Oak", 450);
    return g;
}

inline int32_t AddTask(ProjectManager& store, const std::wstring& name, const std::wstring& description = L"",
                       const std::wstring& dueDate = L"", bool completed = false) {
    Task task;
    task.name = name;
    task.description = description;
    task.dueDate = dueDate;
    task.completed = completed;
    return store.CreateTask(task);
}

// Runs the Create/Edit Task dialog as the program does.
inline INT_PTR RunTaskDialog(MainWindow& window, int32_t taskId, bool isEdit) {
    TaskDialogParams params{&window, taskId, isEdit};
    return DialogBoxParamW(window.instance, MAKEINTRESOURCEW(IDD_TASK), window.hwnd, TaskDialogProc,
                           reinterpret_cast<LPARAM>(&params));
}

inline INT_PTR RunTaskList(MainWindow& window) {
    return DialogBoxParamW(window.instance, MAKEINTRESOURCEW(IDD_TASK_LIST), window.hwnd, TaskListDialogProc,
                           reinterpret_cast<LPARAM>(&window));
}

inline std::wstring Today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t text[32] = {};
    swprintf(text, 32, L"%04d-%02d-%02d", now.wYear, now.wMonth, now.wDay);
    return text;
}

}  // namespace tasktest
