// The COM link against the stand-in CAD program running as a second process.
#include "cadlink/cad_link_win.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/codepage.h"
#include "base/strings.h"
#include "cadlink/commands.h"
#include "tests/support/cad_standin_win.h"
#include "ui/gdi.h"
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
  void TearDown() override {
    filter_->RevokeFilter();
    filter_->Release();
  }
  // Runs the send as the application's top level runs a handler; the error box's text, if one
  // was shown.
  std::u16string SendGuarded(std::u16string_view progId, std::u16string_view command) {
    std::u16string shown;
    ui::SeamOverride<ui::MessageBoxFn> box(ui::MessageBoxSeam(), [&](HWND, std::u16string_view text,
                                                                      std::u16string_view, UINT flags) {
      EXPECT_TRUE(flags & MB_ICONERROR);
      shown = text.empty() ? u"(empty message)" : std::u16string(text);
      return IDOK;
    });
    ui::RunGuarded([&] { SendToTargetCad(progId, command); });
    return shown;
  }
  ui::ComInit com_;
  TMessageFilter* filter_ = nullptr;
};

TEST_F(CadLink, FilterRetriesOnlyBusyRejectionsAndPutsThePreviousFilterBack) {
  EXPECT_EQ(filter_->HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr), DWORD(SERVERCALL_ISHANDLED));
  std::vector<DWORD> told;
  filter_->onBusyWait = [&](DWORD ms) { told.push_back(ms); };
  EXPECT_EQ(filter_->RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER), 1000u);
  EXPECT_EQ(filter_->RetryRejectedCall(nullptr, 29999, SERVERCALL_RETRYLATER), 1000u);
  EXPECT_EQ(filter_->RetryRejectedCall(nullptr, 30000, SERVERCALL_RETRYLATER), DWORD(-1));  // busy for good
  EXPECT_EQ(filter_->RetryRejectedCall(nullptr, 0, SERVERCALL_REJECTED), DWORD(-1));
  EXPECT_EQ(told, (std::vector<DWORD>{0, 29999}));
  filter_->onBusyWait = nullptr;
  EXPECT_EQ(filter_->MessagePending(nullptr, 0, PENDINGTYPE_TOPLEVEL), DWORD(PENDINGMSG_WAITNOPROCESS));

  TMessageFilter* second = TMessageFilter::Create();
  ASSERT_TRUE(second->RegisterFilter());
  second->RevokeFilter();
  second->Release();
  IMessageFilter* current = nullptr;
  ASSERT_EQ(CoRegisterMessageFilter(nullptr, &current), S_OK);
  EXPECT_EQ(current, static_cast<IMessageFilter*>(filter_));
  CoRegisterMessageFilter(current, nullptr);
  if (current) current->Release();
}

TEST_F(CadLink, NothingRunningSendsNothingAndShowsNothing) {
  TestProgId id;
  EXPECT_FALSE(IsTargetCadRunning(id.ProgId()));
  EXPECT_EQ(SendGuarded(id.ProgId(), u"x"), u"");
}

TEST_F(CadLink, UnknownOrEmptyProgIdShowsTheErrorsOwnMessage) {
  for (std::u16string progId : {u"NoSuch.Application.1", u""}) {
    SCOPED_TRACE(Utf16ToUtf8(progId));
    EXPECT_THROW(IsTargetCadRunning(progId), std::runtime_error);
    std::u16string shown = SendGuarded(progId, u"x");
    EXPECT_NE(shown, u"");
    EXPECT_NE(shown.find(u"ProgID"), std::u16string::npos) << Utf16ToUtf8(shown);
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

TEST_F(CadLink, BusyProgramIsRetriedUntilItAccepts) {
  TestProgId id;
  CadStandIn cad(id.Clsid(), L"/busy:2500");
  EXPECT_EQ(SendGuarded(id.ProgId(), u"LINE"), u"");
  EXPECT_EQ(cad.Commands(), std::vector<std::u16string>{u"LINE\r"});
  auto events = cad.Events();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[1], u"rejected busy");
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
