#include <windows.h>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "support/ChildProcess.h"
#include "support/MessageBoxAnswerer.h"

using TestSupport::BoxRecord;
using TestSupport::MessageBoxAnswerer;

namespace {

struct BoxArgs {
    HWND owner;
    const char* text;
    const char* caption;
    UINT type;
    std::atomic<int> result{0};
};

DWORD WINAPI ShowBox(LPVOID p)
{
    BoxArgs* args = static_cast<BoxArgs*>(p);
    args->result = MessageBoxA(args->owner, args->text, args->caption, args->type);
    return 0;
}

// Shows a box on a thread of its own and waits (bounded) for its answer,
// pumping messages meanwhile: a box owned by this thread's window sends to it.
int ShowAndWait(BoxArgs& args)
{
    HANDLE t = CreateThread(nullptr, 0, &ShowBox, &args, 0, nullptr);
    DWORD start = GetTickCount();
    bool done = false;
    while (!done && GetTickCount() - start < 30000) {
        DWORD r = MsgWaitForMultipleObjects(1, &t, FALSE, 100, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) {
            done = true;
        } else {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
        }
    }
    CloseHandle(t);
    return done ? args.result.load() : -1;
}

}  // namespace

TEST(MessageBoxAnswerer, AnswersBoxesInOrderAndRecordsThem)
{
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, owner);
    MessageBoxAnswerer answerer;
    answerer.Expect(IDRETRY);
    answerer.Expect(IDCANCEL);
    BoxArgs first{owner, "ファイル読み込みに失敗しました。\nソ表示", "ReadFileError",
                  MB_RETRYCANCEL | MB_ICONERROR};
    EXPECT_EQ(IDRETRY, ShowAndWait(first));
    BoxArgs second{owner, "again", "ReadFileError", MB_RETRYCANCEL | MB_ICONERROR};
    EXPECT_EQ(IDCANCEL, ShowAndWait(second));
    answerer.Verify();
    std::vector<BoxRecord> boxes = answerer.Boxes();
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ(owner, boxes[0].owner);
    EXPECT_EQ("ReadFileError", boxes[0].caption);
    EXPECT_EQ("ファイル読み込みに失敗しました。\nソ表示", boxes[0].text);
    EXPECT_EQ((std::vector<int>{IDCANCEL, IDRETRY}), boxes[0].buttons);
    EXPECT_EQ("error", boxes[0].icon);
    EXPECT_EQ(GetCurrentProcessId(), boxes[0].processId);
    EXPECT_EQ(IDRETRY, boxes[0].answer);
    EXPECT_EQ(IDCANCEL, boxes[1].answer);
    DestroyWindow(owner);
}

TEST(MessageBoxAnswerer, AnswersABoxOfAChildProcess)
{
    MessageBoxAnswerer answerer;
    answerer.Expect(IDYES);
    TestSupport::ChildProcess child;
    ASSERT_TRUE(child.Start(TestSupport::HelperPath("box_child.exe"), "0x24 \"確認\" \"インストールしますか？\""));
    DWORD exitCode = 0;
    ASSERT_TRUE(child.Wait(30000, &exitCode));
    EXPECT_EQ(static_cast<DWORD>(IDYES), exitCode);
    answerer.Verify();
    ASSERT_EQ(1u, answerer.Boxes().size());
    BoxRecord box = answerer.Boxes()[0];
    EXPECT_EQ("確認", box.caption);
    EXPECT_EQ("インストールしますか？", box.text);
    EXPECT_EQ(nullptr, box.owner);
    EXPECT_EQ(child.Id(), box.processId);
    EXPECT_EQ((std::vector<int>{IDYES, IDNO}), box.buttons);
}

TEST(MessageBoxAnswerer, UnexpectedBoxIsClosedAndFailsTheTest)
{
    BoxArgs args{nullptr, "surprise", "Unexpected", MB_OK};
    EXPECT_NONFATAL_FAILURE(
        {
            MessageBoxAnswerer answerer(5000);
            EXPECT_EQ(IDOK, ShowAndWait(args));
            answerer.Verify();
        },
        "unexpected message box");
}

TEST(MessageBoxAnswerer, ExpectedBoxThatNeverComesFails)
{
    EXPECT_NONFATAL_FAILURE(
        {
            MessageBoxAnswerer answerer(500);
            answerer.Expect(IDOK);
        },
        "never came");
}

TEST(MessageBoxAnswerer, OrdinaryDialogsAreNotMessageBoxes)
{
    HWND dialogLike = CreateWindowExA(0, "#32770", "progress", WS_POPUP, 0, 0, 100, 100, nullptr,
                                      nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, dialogLike);
    CreateWindowExA(0, "BUTTON", "キャンセル", WS_CHILD, 0, 0, 10, 10, dialogLike,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), nullptr, nullptr);
    EXPECT_TRUE(MessageBoxAnswerer::IsMessageBox(dialogLike));
    CreateWindowExA(0, "msctls_progress32", "", WS_CHILD, 0, 0, 10, 10, dialogLike,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(1001)), nullptr, nullptr);
    EXPECT_FALSE(MessageBoxAnswerer::IsMessageBox(dialogLike));
    DestroyWindow(dialogLike);
}
