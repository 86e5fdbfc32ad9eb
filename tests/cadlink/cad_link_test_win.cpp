// The COM link against the stand-in CAD program running as a second process.
#include "cadlink/cad_link_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/codepage.h"
#include "base/strings.h"
#include "cadlink/commands.h"
#include "tests/support/cad_standin_win.h"
#include "ui/com.h"
#include "ui/seams.h"
#include "ui/window.h"

namespace tesmar {
namespace {

using test::CadStandIn;
using test::TestProgId;

// COM for the test's thread with the program's message filter registered, as the main window
// has it; error boxes are caught through the seam.
class CadLink : public ::testing::Test {
 protected:
  void SetUp() override {
    filter_ = TMessageFilter::Create();
    ASSERT_TRUE(filter_->RegisterFilter());
  }
  void TearDown() override { filter_->RevokeFilter(); }
  // Runs the send as the application's top level runs a handler, with a wait of `boundMs` for
  // the whole command; the error box's text, if one was shown.
  std::u16string SendGuarded(std::u16string_view progId, std::u16string_view command, DWORD boundMs = 30000,
                             bool insertCommand = false) {
    std::u16string shown;
    ui::SeamOverride<ui::MessageBoxFn> box(ui::MessageBoxSeam(), [&](HWND, std::u16string_view text,
                                                                      std::u16string_view, UINT flags) {
      EXPECT_TRUE(flags & MB_ICONERROR);
      shown = text.empty() ? u"(empty message)" : std::u16string(text);
      return IDOK;
    });
    CadCallWait wait(nullptr, boundMs);
    wait.onWait = [&](DWORD waited) { waits.push_back(waited); };
    filter_->SetCurrent(&wait);
    ui::RunGuarded([&] { sent = SendToTargetCad(progId, command, wait, insertCommand); });
    filter_->SetCurrent(nullptr);
    return shown;
  }
  ui::ComInit com_;
  ui::ComPtr<TMessageFilter> filter_;
  std::vector<DWORD> waits;  // the waits told, in milliseconds since the command began
  CadSend sent = CadSend::NotRunning;
};

TEST_F(CadLink, FilterRetriesOnlyBusyRejectionsWithinTheCommandsWaitAndPutsThePreviousFilterBack) {
  EXPECT_EQ(filter_->HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr), DWORD(SERVERCALL_ISHANDLED));
  // Between commands, or rejected outright: cancelled.
  EXPECT_EQ(filter_->RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER), DWORD(-1));
  CadCallWait wait(nullptr, 1500);
  std::vector<DWORD> told;
  wait.onWait = [&](DWORD ms) { told.push_back(ms); };
  filter_->SetCurrent(&wait);
  EXPECT_EQ(filter_->RetryRejectedCall(nullptr, 0, SERVERCALL_REJECTED), DWORD(-1));
  // Busy: the filter pauses itself and has the call tried again at once, a last time at the
  // deadline of the whole command, whatever the call's own tick count says.
  EXPECT_EQ(filter_->RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER), 0u);
  EXPECT_EQ(filter_->RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER), 0u);
  EXPECT_EQ(filter_->RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER), DWORD(-1));
  EXPECT_EQ(wait.Ended(), CadCallWait::End::Deadline);
  ASSERT_EQ(told.size(), 2u);
  EXPECT_GE(told[1], 1000u);
  filter_->SetCurrent(nullptr);
  // Waiting, the window repaints; its input is held back.
  EXPECT_EQ(filter_->MessagePending(nullptr, 0, PENDINGTYPE_TOPLEVEL), DWORD(PENDINGMSG_WAITDEFPROCESS));

  ui::ComPtr<TMessageFilter> second = TMessageFilter::Create();
  ASSERT_TRUE(second->RegisterFilter());
  second->RevokeFilter();
  IMessageFilter* current = nullptr;
  ASSERT_EQ(CoRegisterMessageFilter(nullptr, &current), S_OK);
  EXPECT_EQ(current, static_cast<IMessageFilter*>(filter_.get()));
  CoRegisterMessageFilter(current, nullptr);
  if (current) current->Release();
}

// Esc in the window gives the wait up at once; other keys wait in the queue for after it.
TEST(CadCallWait, EscGivesUpAtOnceAndOtherKeysStayQueued) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(window);
  {
    CadCallWait wait(window, 600000);
    PostMessageW(window, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(wait.RetryBusy());  // nothing but a key: a second's pause, then the next try
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(wait.RetryBusy());
    EXPECT_EQ(wait.Ended(), CadCallWait::End::Escape);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, window, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE)) << "held back while waiting";
  }
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, window, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  EXPECT_EQ(msg.wParam, WPARAM('A'));
  EXPECT_FALSE(PeekMessageW(&msg, window, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) << "Esc was taken";
  {
    // A close of the window ends the wait and stays in the queue for the message loop.
    CadCallWait wait(window, 600000);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(wait.RetryBusy());
    EXPECT_EQ(wait.Ended(), CadCallWait::End::Closing);
    EXPECT_TRUE(PeekMessageW(&msg, window, WM_CLOSE, WM_CLOSE, PM_REMOVE));
  }
  DestroyWindow(window);
}

TEST_F(CadLink, NothingRunningSendsNothingAndShowsNothing) {
  TestProgId id;
  EXPECT_FALSE(IsTargetCadRunning(id.ProgId()));
  sent = CadSend::Sent;
  EXPECT_EQ(SendGuarded(id.ProgId(), u"x"), u"");
  EXPECT_EQ(sent, CadSend::NotRunning);
}

// The system's own text for an error, when it has one.
bool SystemHasText(HRESULT hr) {
  wchar_t buf[512];
  return FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, static_cast<DWORD>(hr), 0,
                        buf, 512, nullptr) != 0;
}

TEST_F(CadLink, UnknownOrEmptyProgIdShowsTheErrorsOwnMessageOrSaysSoInJapanese) {
  for (std::u16string progId : {u"NoSuch.Application.1", u""}) {
    SCOPED_TRACE(Utf16ToUtf8(progId));
    EXPECT_THROW(IsTargetCadRunning(progId), std::runtime_error);
    std::u16string shown = SendGuarded(progId, u"x");
    EXPECT_NE(shown.find(u"ProgID \"" + progId + u"\""), std::u16string::npos) << Utf16ToUtf8(shown);
    if (!SystemHasText(CO_E_CLASSSTRING)) {
      EXPECT_EQ(shown.rfind(u"CAD プログラムが見つからないか、応答しません。", 0), 0u) << Utf16ToUtf8(shown);
    }
  }
}

TEST_F(CadLink, PathsArriveIntactAfterTheEscapeKey) {
  TestProgId id;
  CadStandIn cad(id.Clsid());
  ASSERT_TRUE(IsTargetCadRunning(id.ProgId()));
  const std::u16string paths[] = {u"C:\\a.dwg", u"D:\\部品 ライブラリ\\バルブ, 50A.dwg", u"Z:\\tmp\\x y,z\\図面.dwg"};
  std::vector<std::u16string> expected;
  for (const auto& p : paths) {
    SCOPED_TRACE(Utf16ToUtf8(p));
    for (std::u16string text : {InsertCommandText(p), InsertCallText(u"kvo_dxfIn_cut", p, true, true), LoadLispText(p)}) {
      EXPECT_EQ(SendGuarded(id.ProgId(), text), u"");
      expected.push_back(text + u"\r");
    }
  }
  EXPECT_EQ(cad.Commands(), expected);
  // The window came to the front, so each command came with one Escape press (the program
  // may take its key input after the call).
  int escapes = 0;
  for (int i = 0; i < 100 && escapes < 9; ++i) {
    escapes = 0;
    for (const auto& e : cad.Events()) escapes += e == u"escape";
    if (escapes < 9) Sleep(50);
  }
  EXPECT_EQ(escapes, 9);
  EXPECT_EQ(GetForegroundWindow(), cad.Window());
}

TEST_F(CadLink, MinimisedProgramIsRestoredAndReceives) {
  TestProgId id;
  CadStandIn cad(id.Clsid(), L"/minimized");
  ASSERT_TRUE(IsIconic(cad.Window()));
  EXPECT_EQ(SendGuarded(id.ProgId(), u"LINE"), u"");
  EXPECT_FALSE(IsIconic(cad.Window()));
  EXPECT_EQ(cad.Commands(), std::vector<std::u16string>{u"LINE\r"});
}

TEST_F(CadLink, RefusedForegroundSendsTheCommandWithoutEscape) {
  TestProgId id;
  CadStandIn cad(id.Clsid(), L"/nofront");
  EXPECT_EQ(SendGuarded(id.ProgId(), u"LINE"), u"");
  EXPECT_EQ(cad.Commands(), std::vector<std::u16string>{u"LINE\r"});
  for (const auto& e : cad.Events()) EXPECT_NE(e, u"escape");
}

TEST_F(CadLink, BusyProgramIsRetriedUntilItAcceptsAndItsWindowIsAskedForOnce) {
  TestProgId id;
  CadStandIn cad(id.Clsid(), L"/busy:2500");
  EXPECT_EQ(SendGuarded(id.ProgId(), u"LINE"), u"");
  EXPECT_EQ(sent, CadSend::Sent);
  EXPECT_EQ(cad.Commands(), std::vector<std::u16string>{u"LINE\r"});
  auto events = cad.Events();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[1], u"rejected busy");
  EXPECT_EQ(std::count(events.begin(), events.end(), u"call HWND"), 1);
  EXPECT_FALSE(waits.empty());
}

// A program with a dialog of its own open rejects every call as busy: the call is tried again
// (each retry is told, for the status field) until the bound, then cancelled with the error box.
TEST_F(CadLink, AProgramInAModalDialogIsGivenUpAfterTheBound) {
  TestProgId id;
  CadStandIn cad(id.Clsid(), L"/modal");
  std::u16string shown = SendGuarded(id.ProgId(), u"LINE", 2500);
  EXPECT_NE(shown.find(u"CAD プログラムが応答しません。"), std::u16string::npos) << Utf16ToUtf8(shown);
  EXPECT_NE(shown.find(u"ProgID \"" + id.ProgId() + u"\""), std::u16string::npos) << Utf16ToUtf8(shown);
  EXPECT_TRUE(cad.Commands().empty());
  ASSERT_GE(waits.size(), 2u);
  EXPECT_LT(waits.front(), waits.back());
  EXPECT_LT(waits.back(), 2500u);
  int rejected = 0;
  for (const auto& e : cad.Events()) rejected += e == u"rejected busy";
  EXPECT_EQ(rejected, static_cast<int>(waits.size()) + 1) << "each rejection but the last is tried again";
}

// Each member busy for a while on its own: every single call would get through within the
// bound, but the command as a whole does not, and is given up at the bound.
TEST_F(CadLink, TheBoundIsForTheWholeCommandNotForEachCall) {
  TestProgId id;
  CadStandIn cad(id.Clsid(), L"/busy-each:1500");
  std::u16string shown = SendGuarded(id.ProgId(), u"LINE", 2500);
  EXPECT_NE(shown.find(u"CAD プログラムが応答しません。"), std::u16string::npos) << Utf16ToUtf8(shown);
  EXPECT_TRUE(cad.Commands().empty());
  ASSERT_FALSE(waits.empty());
  EXPECT_LT(waits.back(), 2500u) << "no pause reaches past the bound";
}

// The insert command puts ATTREQ back to what the document had: nothing to add for 0, the
// value otherwise.
TEST_F(CadLink, TheInsertCommandPutsTheUsersAttreqBack) {
  for (int attreq : {0, 1}) {
    SCOPED_TRACE(attreq);
    TestProgId id;
    CadStandIn cad(id.Clsid(), L"/attreq:" + std::to_wstring(attreq));
    const std::u16string insert = InsertCommandText(u"C:\\lib\\a.dwg");
    EXPECT_EQ(SendGuarded(id.ProgId(), insert, 30000, true), u"");
    EXPECT_EQ(SendGuarded(id.ProgId(), u"LINE", 30000, false), u"");
    EXPECT_EQ(cad.Commands(), (std::vector<std::u16string>{insert + (attreq ? u"\rATTREQ 1\r" : u"\r"), u"LINE\r"}));
  }
}

TEST(ComErrorText, CodesWithoutSystemTextSayInJapaneseWhatHappened) {
  const std::u16string unknown = ComErrorText(static_cast<HRESULT>(0x8004FF7Bu), u"ProgID \"X.Y\"");
  EXPECT_NE(unknown.find(u"CAD プログラムが見つからないか、応答しません。"), std::u16string::npos) << Utf16ToUtf8(unknown);
  EXPECT_NE(unknown.find(u"8004FF7B"), std::u16string::npos);
  EXPECT_NE(unknown.find(u"(ProgID \"X.Y\")"), std::u16string::npos);
  EXPECT_NE(ComErrorText(RPC_E_CALL_REJECTED, u"").find(u"応答しません"), std::u16string::npos);
  EXPECT_EQ(ComErrorText(E_OUTOFMEMORY, u"").find(u"CAD"), std::u16string::npos);  // the system's own text
}

// Faults that must end in a message, not a hang or a crash: a program that refuses a call
// outright (no retry), and one that quits between the look-up and the call.
TEST_F(CadLink, RefusalOrAProgramThatQuitsEndsInTheErrorBox) {
  for (const wchar_t* sw : {L"/refuse", L"/quit-on:HWND", L"/quit-on:ActiveDocument", L"/quit-on:SendCommand"}) {
    SCOPED_TRACE(Utf16ToUtf8(FromWide(sw)));
    TestProgId id;
    CadStandIn cad(id.Clsid(), sw);
    EXPECT_NE(SendGuarded(id.ProgId(), u"LINE"), u"");
    EXPECT_TRUE(cad.Commands().empty());
  }
}

}  // namespace
}  // namespace tesmar
