// Opening a file in the viewer: the open request, the opening aside on a worker thread with
// its progress and its cancellation, and the hand-over of the complete drawing.
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <chrono>

#include "base/path_parts.h"
#include "base/strings.h"
#include "render/colours.h"
#include "render/expand.h"
#include "render/image_canvas_win.h"
#include "render/offscreen_win.h"
#include "ui/display.h"
#include "ui/seams.h"
#include "viewer/zoomer_form_win.h"
#include "viewer/zoomer_messages_win.h"

namespace tesmar {
namespace {

constexpr wchar_t kReadErrorCaption[] = L"情報xx";
constexpr char16_t kReadError[] = u" 読み込みエラーです";
constexpr char16_t kUnreadableStatus[] = u"AutoCAD Binary DXF";

double NowMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

// The opening shared by the window and its worker thread. The worker reads `path`, advances
// and asks the progress through the atomics, fills `result` and posts kMsgDrawingOpened; the
// window reads `result` only after it has joined the worker.
struct TMorvikZoomerForm::Job : IDxfProgress {
  HWND window = nullptr;
  std::uintptr_t serial = 0;
  std::u16string path;
  std::uint32_t startTicks = 0;
  std::atomic<bool> cancel{false};
  std::atomic<int> max{50}, position{0};
  TOpenResult result;

  void SetMax(int m) override {
    max = m;
    Post();
  }
  int Position() const override { return position; }
  void SetPosition(int p) override {
    position = p;
    Post();
  }
  bool Cancelled() const override { return cancel; }
  void Post() const { PostMessageW(window, kMsgOpeningProgress, serial, MAKELPARAM(position.load(), max.load())); }
};

void TMorvikZoomerForm::FormCreate() {
  Edit1().SetText(u"");
  dispScale = ui::FirstMonitorScaleFactor().value_or(0);
}

void TMorvikZoomerForm::OpenStoredDrawing() {
  g_DispScale = 0.95;
  mvflag = false;
  Edit1().SetText(u"");
  checkListBox1_.Clear();
  MakeDxfZoomer(dxfFullName);
}

void TMorvikZoomerForm::OpenRequest(const std::u16string& dxfPath) {
  dxfFullName = dxfPath;
  g_CoSw = 0;
  if (!IsWindowVisible(hwnd())) {
    PlaceOnFirstShow();
    ShowWindow(hwnd(), SW_SHOWNORMAL);
  }
  OpenStoredDrawing();
}

void TMorvikZoomerForm::DropDrawing() {
  drawing_ = std::make_unique<TDrawing>();
  ++drawingSerial_;  // an exact redraw still queued was for the drawing that goes
  lastRaster_.reset();
  pictures_.Clear();
  redrawDue_ = false;
  g_cadw = g_cadh = 0;
  g_cadpt = TAcadPoint{};
  saved = TSavedView{};
  OldPickLine = TAcadLineBlk{};
  mvret1 = mvret2 = mvret3 = mvret4 = mvret5 = -1;
  g_ZoomFlag = g_PanFlag = false;
  mvflag = false;
}

void TMorvikZoomerForm::MakeDxfZoomer(const std::u16string& dxfname) {
  CancelOpening();
  SetWindowTextW(hwnd(), WidePtr(std::u16string(FileNamePart(dxfname))));
  DropDrawing();
  ShowEmptyFrame(false);
  auto job = std::make_shared<Job>();
  job->window = hwnd();
  job->serial = ++lastSerial_;
  job->path = dxfname;
  job->startTicks = GetTickCount();
  SendMessageW(progressBar1_, PBM_SETRANGE32, 0, 50);
  SendMessageW(progressBar1_, PBM_SETPOS, 0, 0);
  std::thread worker([job] {
    job->result = OpenDrawing(job->path, job.get());
    PostMessageW(job->window, kMsgDrawingOpened, job->serial, 0);
  });
  workers_.emplace_back(job, std::move(worker));
  opening_ = std::move(job);
}

void TMorvikZoomerForm::CancelOpening() {
  if (!opening_) return;
  opening_->cancel = true;
  opening_.reset();
  SendMessageW(progressBar1_, PBM_SETPOS, 0, 0);
  ShowEmptyFrame(false);
}

void TMorvikZoomerForm::WaitWhileOpening() {
  while (opening_ && IsWindow(hwnd())) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    ui::ProcessMessages();
  }
}

void TMorvikZoomerForm::JoinWorkers(bool all) {
  for (auto it = workers_.begin(); it != workers_.end();) {
    if (all) it->first->cancel = true;
    if (all || it->first != opening_) {
      if (it->second.joinable()) it->second.join();
      it = workers_.erase(it);
    } else {
      ++it;
    }
  }
  if (all) opening_.reset();
}

void TMorvikZoomerForm::OpeningProgress(std::uintptr_t serial, LPARAM lp) {
  if (!opening_ || opening_->serial != serial) return;
  SendMessageW(progressBar1_, PBM_SETRANGE32, 0, HIWORD(lp));
  SendMessageW(progressBar1_, PBM_SETPOS, LOWORD(lp), 0);
}

void TMorvikZoomerForm::DrawingOpened(std::uintptr_t serial) {
  std::shared_ptr<Job> job;
  for (auto it = workers_.begin(); it != workers_.end(); ++it) {
    if (it->first->serial != serial) continue;
    it->second.join();  // it has posted its last message
    job = it->first;
    workers_.erase(it);
    break;
  }
  if (!job || job != opening_) return;  // cancelled or replaced meanwhile
  TOpenResult& r = job->result;
  // The reader's messages, owned by this window; another opening may start while one shows.
  for (const auto& [text, caption] : r.messages) {
    ui::ShowMessageBox(hwnd(), text, caption, MB_OK);
    if (opening_ != job) return;
  }
  opening_.reset();
  SendMessageW(progressBar1_, PBM_SETPOS, 0, 0);
  const std::u16string& dxfname = job->path;
  bool shown = false;
  try {
    if (r.outcome == TOpenOutcome::Opened) {
      drawing_ = std::move(r.drawing);
      FillLayerList();
      const double t = NowMs();
      TView v = View();
      FitView(v, drawing_->extents);
      g_cadw = v.g_cadw, g_cadh = v.g_cadh, g_cadpt = v.g_cadpt;
      OffscreenRedraw(/*drawAll=*/true, /*fast=*/false);
      shown = true;
      lastOpen = TOpenTimes{r.readMs, r.postMs, NowMs() - t};
      Edit1().SetText(OpenStatus(g_cadw, g_cadh, ElapsedSeconds(job->startTicks, GetTickCount())) +
                      (drawing_->model.expansionCut ? kExpansionCutNote : u""));
      SetWindowTextW(hwnd(), WidePtr(OpenedCaption(FileNamePart(dxfname), g_cadw, g_cadh)));
    } else if (r.outcome == TOpenOutcome::Failed) {
      throw std::runtime_error("the drawing could not be opened");
    }
  } catch (...) {
    DropDrawing();
    checkListBox1_.Clear();
    image1_.NewPicture(std::max(1, image1_.Width()), std::max(1, image1_.Height()));
    ui::ShowMessageBox(hwnd(), dxfname + u'\r' + kReadError, FromWide(kReadErrorCaption), MB_OK | MB_ICONINFORMATION);
    SendMessageW(progressBar1_, PBM_SETPOS, 0, 0);
  }
  if (!shown) ShowEmptyFrame(r.outcome == TOpenOutcome::Unreadable);
}

void TMorvikZoomerForm::FillLayerList() {
  checkListBox1_.Clear();
  const TDrawingModel& m = drawing_->model;
  const std::size_t listed = std::min(drawing_->listedLayers, m.LayerAry.size());
  if (listed == 0) return;
  checkListBox1_.SetRedraw(false);
  for (std::size_t i = 0; i < listed; ++i) {
    const TLayer& l = m.LayerAry[i];
    checkListBox1_.Add(l.Name, AciToColor(std::abs(int(l.color))));
  }
  for (int i = 0; i < checkListBox1_.Count(); ++i) checkListBox1_.SetChecked(i, LayerVisible(m, checkListBox1_.Item(i)));
  checkListBox1_.SetRedraw(true);
}

void TMorvikZoomerForm::ShowEmptyFrame(bool unreadable) {
  const int W = std::max(1, image1_.Width()), H = std::max(1, image1_.Height());
  if (!image1_.HasPicture() || image1_.Picture().Width() != W || image1_.Picture().Height() != H) image1_.NewPicture(W, H);
  {
    ImagePass pass(image1_, /*repaintNow=*/true);
    DrawEmptyFrame(pass.canvas(), W, H);
  }
  if (unreadable) Edit1().SetText(kUnreadableStatus);
}

}  // namespace tesmar
