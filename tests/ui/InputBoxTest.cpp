// The input box, called directly on the real main window.
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "DialogDriver.h"
#include "dialogs/NewProjectWindow.h"

using uitest::Answer;
using uitest::Input;
using uitest::ModalAnswerer;

namespace {

// Presses Tab `tabs` times in the window of class `windowClass` that the UI
// thread shows, each time on the control that has the focus, and then closes
// the window. Gives the id of the focused control after each press. Each step
// waits for the focus to arrive or move, up to a limit far beyond any delay,
// so a busy machine only slows the walk; a focus that never moves is read as
// it stands and fails the comparison.
class TabWalk {
public:
    TabWalk(const wchar_t* windowClass, int tabs) : ui_(GetCurrentThreadId()) {
        worker_ = std::thread([this, windowClass, tabs] {
            HWND window = nullptr;
            for (int i = 0; i < 250 && !window; ++i, Sleep(20))
                window = uitest::FindThreadWindow(ui_, windowClass, L"");
            if (!window) return;
            // Its set-up is done once the focus is inside it.
            WaitForFocus([window](HWND f) { return f && IsChild(window, f); });
            for (int i = 0; i < tabs; ++i) {
                const HWND from = Focus();
                if (!from) break;
                PostMessageW(from, WM_KEYDOWN, VK_TAB, 1);
                PostMessageW(from, WM_KEYUP, VK_TAB, 0xC0000001);
                const HWND to = WaitForFocus([from](HWND f) { return f != from; });
                ids_.push_back(to ? GetDlgCtrlID(to) : 0);
            }
            PostMessageW(window, WM_CLOSE, 0, 0);
        });
    }
    ~TabWalk() { Ids(); }
    const std::vector<int>& Ids() {
        if (worker_.joinable()) worker_.join();
        return ids_;
    }

private:
    HWND Focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(ui_, &info);
        return info.hwndActive ? info.hwndFocus : nullptr;
    }
    template <typename Done>
    HWND WaitForFocus(Done done) const {
        HWND focus = Focus();
        for (int i = 0; i < 500 && !done(focus); ++i, Sleep(10)) focus = Focus();
        return focus;
    }
    DWORD ui_;
    std::vector<int> ids_;
    std::thread worker_;
};

class InputBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        live = std::make_unique<uitest::LiveWindow>();
        ASSERT_TRUE(live->Created());
        window = &**live;
    }

    // Runs the box with `answer`; returns its result and what the helper saw.
    bool Ask(const Answer& answer, std::wstring& text, uitest::Seen* seen = nullptr) {
        ModalAnswerer answerer({answer});
        const bool result = window->InputBox(L"Enter Space Name", text);
        EXPECT_TRUE(answerer.AllAnsweredAndNothingElse());
        if (seen && !answerer.Finish().empty()) *seen = answerer.Finish()[0];
        return result;
    }
    static Answer Key(UINT key) {
        Answer a = Input(L"Enter Space Name", L"");
        a.fill.clear();
        a.key = key;
        a.keyTarget = uitest::kInputBoxEditId;
        return a;
    }

    std::unique_ptr<uitest::LiveWindow> live;
    MainWindow* window = nullptr;
};

TEST_F(InputBoxTest, ShowsTheTextAndDisablesTheMainWindowWhileOpen) {
    std::wstring text = L"Proposed";
    uitest::Seen seen;
    Answer ok = Input(L"Enter Space Name", L"");
    ok.fill.clear();  // press OK on the text as proposed
    EXPECT_TRUE(Ask(ok, text, &seen));
    EXPECT_EQ(text, L"Proposed");
    EXPECT_EQ(seen.texts[uitest::kInputBoxEditId], L"Proposed");
    EXPECT_EQ(seen.texts[0], L"Name:");
    EXPECT_EQ(seen.texts[IDOK], L"OK");
    EXPECT_EQ(seen.texts[IDCANCEL], L"Cancel");
    EXPECT_EQ(seen.owner, window->hwnd);
    EXPECT_FALSE(seen.ownerEnabled);
    EXPECT_TRUE(seen.fontsSet);
    EXPECT_TRUE(seen.exStyle & WS_EX_DLGMODALFRAME);
    EXPECT_EQ(seen.rect.right - seen.rect.left, 320);
    EXPECT_EQ(seen.rect.bottom - seen.rect.top, 140);
    EXPECT_TRUE(IsWindowEnabled(window->hwnd));
}

TEST_F(InputBoxTest, ReturnsTheEnteredTextUntrimmed) {
    std::wstring text = L"old";
    EXPECT_TRUE(Ask(Input(L"Enter Space Name", L"  spaced  "), text));
    EXPECT_EQ(text, L"  spaced  ");
}

TEST_F(InputBoxTest, EmptyCancelAndCloseLeaveTheTextAlone) {
    std::wstring text = L"kept";
    EXPECT_FALSE(Ask(Input(L"Enter Space Name", L""), text));
    EXPECT_EQ(text, L"kept");
    EXPECT_FALSE(Ask(Input(L"Enter Space Name", L"typed", IDCANCEL), text));
    EXPECT_EQ(text, L"kept");
    Answer close = Input(L"Enter Space Name", L"typed");
    close.close = true;
    EXPECT_FALSE(Ask(close, text));
    EXPECT_EQ(text, L"kept");
}

TEST_F(InputBoxTest, EnterConfirmsAndEscapeCancels) {
    std::wstring text = L"by keyboard";
    EXPECT_TRUE(Ask(Key(VK_RETURN), text));
    EXPECT_EQ(text, L"by keyboard");
    EXPECT_FALSE(Ask(Key(VK_ESCAPE), text));
    EXPECT_EQ(text, L"by keyboard");
}

TEST_F(InputBoxTest, GivesTheKeyboardBackToTheMainWindowWhenItCloses) {
    uitest::OtherWindow other;
    for (UINT key : {VK_RETURN, VK_ESCAPE}) {
        SetForegroundWindow(window->hwnd);
        std::wstring text = L"Bed";
        Ask(Key(key), text);
        uitest::ExpectKeyboardBack(*window, other, key == VK_RETURN ? "after Enter" : "after Esc");
    }
}

TEST_F(InputBoxTest, ItsCloseBoxGivesTheKeyboardBackToTheMainWindow) {
    uitest::OtherWindow other;
    SetForegroundWindow(window->hwnd);
    Answer close = Input(L"Enter Space Name", L"typed");
    close.close = true;
    std::wstring text = L"Bed";
    EXPECT_FALSE(Ask(close, text));
    uitest::ExpectKeyboardBack(*window, other, "after the close box");
}

TEST_F(InputBoxTest, CanRunAgainAfterItEnded) {
    for (int i = 0; i < 3; ++i) {
        std::wstring text;
        EXPECT_TRUE(Ask(Input(L"Enter Space Name", L"round " + std::to_wstring(i)), text));
        EXPECT_EQ(text, L"round " + std::to_wstring(i));
    }
}

// Tab moves through the edits and buttons of both hand-built windows.
TEST_F(InputBoxTest, TabMovesBetweenTheControlsOfTheInputBoxAndTheNewProjectWindow) {
    std::wstring text = L"kept";
    TabWalk box(L"InputBoxClass", 3);
    EXPECT_FALSE(window->InputBox(L"Enter Space Name", text));
    EXPECT_EQ(box.Ids(), (std::vector<int>{IDOK, IDCANCEL, uitest::kInputBoxEditId}));

    std::wstring name = L"Untitled Project", description;
    ProjectCreateDialogData data;
    data.name = &name;
    data.description = &description;
    TabWalk project(L"ProjectCreateDialogClass", 1);
    RunProjectCreateWindow(window->hwnd, window->instance, data);
    EXPECT_FALSE(data.accepted);
    EXPECT_EQ(project.Ids(), (std::vector<int>{uitest::kProjectDescriptionEditId}));
}

}  // namespace
