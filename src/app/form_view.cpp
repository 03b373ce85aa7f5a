// The main window's life: creation, start-up order, the frame tick, display switching and shutdown.
#include "app/form_view.h"

#include <cstdio>
#include <thread>

#include "platform/kivo_error.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/trace.h"
#include "support/process_random.h"

namespace kivo {

TFormView::TFormView(IWindow& window, ISubsystemFactory& factory, IDataHost& data, TOptions options)
    : window_(window), factory_(factory), data_(data), options_(std::move(options)), timing_(FrameTiming()) {}

TFormView::~TFormView() { FormClose(); }

void TFormView::FormCreate() {
  TTrace::Label("FormCreate");
  DeleteFile(CurrentFolder() + "kivoplay.log");
  TLocalTime now = LocalTimeNow();
  SeedProcessRandom(TimeOfDaySeed(now.hour, now.minute, now.second, now.millisecond));
  settings_ = TGameSettings::Read(ProgramFolder() + "game.ini");
  data_.RegisterMemorySource();
  RegisterDataSources();
  if (!options_.inputFile.empty()) inputScript_ = TInputScript::Load(options_.inputFile);
  factory_.CreateValues();
  try {
    InitSystem();
  } catch (const EKivoError& e) {
    ShowMessageBox("\x8Cx\x8D\x90", e.Message(), MessageButtons::Ok, MessageIcon::Warning);  // 警告
    timing_.exitRequested = true;
  }
}

void TFormView::RegisterDataSources() {
  const std::vector<std::string>& args = options_.arguments;
  if (args.empty()) {
    data_.RegisterBaseFolder(ProgramFolder());
    data_.RegisterProgramResourceArchive(ProgramFile());
    if (FileEndsWith(ProgramFile(), "kv")) data_.RegisterArchive(ProgramFile());
    return;
  }
  // An empty word ("") names the current folder, as a path would.
  auto asFolder = [](const std::string& arg) { return arg.empty() ? std::string("./") : arg.back() == '/' ? arg : arg + "/"; };
  std::string base = asFolder(args.front());
  data_.RegisterBaseFolder(base);
  for (const std::string& arg : args) {
    std::string folder = asFolder(arg);
    if (FileExists(folder + "game.dat")) data_.RegisterArchive(folder + "game.dat");
    if (FileExists(arg)) {
      if (FileEndsWith(arg, "kv"))
        data_.RegisterArchive(arg);
      else
        data_.RegisterProgramResourceArchive(arg);  // an original program file carrying its archive
    }
  }
}

int TFormView::ClientHeightFor(int sceneHeight) const {
  return sceneHeight + (toolbarShown_ ? TToolbar::kDockHeight : 0);
}

void TFormView::InitSystem() {
  TTrace::Label("DXSound.Initialize");
  if (settings_.directSound) {
    try {
      factory_.InitSound(true);
    } catch (const std::exception&) {
      // The player goes on without its sound device.
    }
  }
  TTrace::Label("KivoInitialize");
  scene_ = factory_.CreateScene();
  TTrace::Label("TProject.Create");
  project_ = factory_.CreateProject(options_.arguments, [this] { window_.Post([this] { FormClose(); }); });
  TTrace::Label("MediaInit");
  media_ = factory_.CreateMedia(*this, window_, project_.get(), *scene_);
  media_->SetFrameHandler([this] {
    if (!closed_) FrameTick();
  });
  TTrace::Label("KivoInitColor");
  scene_->InitColor();

  int width = project_ ? project_->ScreenWidth() : 640;
  int height = project_ ? project_->ScreenHeight() : 480;
  dockVisible_ = project_ && project_->ToolbarVisible();
  toolbarShown_ = dockVisible_;
  window_.SetTitle(project_ ? project_->Title() : std::string("KivoPlayer"));
  window_.SetClientSize(width, ClientHeightFor(height));
  TRect monitor = window_.PrimaryMonitorRect();
  window_.SetPosition(monitor.left + (monitor.Width() - width) / 2,
                      monitor.top + (monitor.Height() - ClientHeightFor(height)) / 2);
  scene_->SetSize(width, height);
  LayoutPanel();
  // The frame thread is created here and started with the message loop (Run).
  if (options_.headless)
    loopTiming_ = std::make_unique<THeadlessLoopTiming>(static_cast<uint32_t>(options_.tickMs));
  else
    loopTiming_ = std::make_unique<TRealLoopTiming>();
  handoff_ = std::make_unique<TUiHandoff>(window_);
  loopThread_ = std::make_unique<TLoopThread>(
      *loopTiming_, timing_, [this] { OnLoopTick(); },
      [this](std::function<void()> task) { handoff_->RunAndWait(task); });
}

void TFormView::LayoutPanel() {
  int sceneW = scene_ ? scene_->Width() : 0;
  int sceneH = scene_ ? scene_->Height() : 0;
  panelLeft_ = (window_.ClientWidth() - sceneW) / 2;
  if (fullScreen_)
    panelTop_ = (window_.ClientHeight() - sceneH) / 2;
  else
    panelTop_ = toolbarShown_ ? TToolbar::kDockHeight : 0;
  OnPaint();
}

void TFormView::Run() {
  if (closed_) return;
  window_.Show();
  OnPaint();
  window_.ShowClient();
  if (options_.fullScreen) SetFullScreen(true);
  if (options_.frames && *options_.frames == 0) {
    window_.Post([this] { FinishRun(); });
  } else if (loopThread_) {
    loopThread_->Start();
  }
  window_.RunLoop(*this);
}

void TFormView::OnLoopTick() {
  if (closed_ || timing_.displaySwitching) return;
  ++ticks_;
  ApplyInputEvents();
  FrameTick();
  for (const TInputEvent& e : pendingScreenshots_) media_->WriteScreenshot(e.file);
  pendingScreenshots_.clear();
  if (options_.frames && ticks_ >= *options_.frames) FinishRun();
}

void TFormView::ApplyInputEvents() {
  using Kind = TInputEvent::Kind;
  for (const TInputEvent& e : inputScript_.TakeDue(ticks_)) {
    switch (e.kind) {
      case Kind::Move: PanelMouseMove(e.x, e.y); break;
      case Kind::LeftDown: PanelMouseMove(e.x, e.y); PanelMouseDown(MouseButton::Left, e.x, e.y); break;
      case Kind::RightDown: PanelMouseMove(e.x, e.y); PanelMouseDown(MouseButton::Right, e.x, e.y); break;
      case Kind::LeftUp:
      case Kind::RightUp: PanelMouseMove(e.x, e.y); PanelMouseUp(); break;
      case Kind::KeyDown: PanelKeyDown(e.x); break;
      case Kind::KeyUp: OnKeyUp(e.x); break;
      case Kind::WheelUp: OnWheel(1); break;
      case Kind::WheelDown: OnWheel(-1); break;
      case Kind::Screenshot: pendingScreenshots_.push_back(e); break;
    }
  }
}

void TFormView::FinishRun() {
  if (closed_) return;
  timing_.exitRequested = true;
  // The run is over: no further interval may advance the game clock the exit page reads.
  if (loopThread_) loopThread_->Stop();
  if (!options_.screenshotFile.empty() && media_ && !media_->WriteScreenshot(options_.screenshotFile))
    std::fprintf(stderr, "kivoplay: could not write the screenshot %s\n", options_.screenshotFile.c_str());
  window_.Post([this] { FormClose(); });
}

void TFormView::FrameTick() {
  if (!project_) return;
  data_.CountDownLocks(timing_.frameDelta);
  data_.DeleteQueuedFiles();
  scene_->UpdateInput();
  project_->RunScript();
  if (timing_.exitRequested) return;
  if (!media_->OggUsesOwnThread()) media_->OggUpdate();
  scene_->Update();
  ++timing_.frameCounter;
  if (project_->HandlePendingLoadSave()) skipCounter_ = 1;
  if (skipCounter_ > 0) {
    --skipCounter_;
    return;
  }
  renderPhase_ = (renderPhase_ + 1) % std::max(1, timing_.renderDivisor);
  if (renderPhase_ != 0) return;
  scene_->Render();
  media_->Present(PanelOrigin());
  scene_->ClearDirtyLists();
  media_->UpdateVideoSurfaces();
}

void TFormView::SetWindowedLayout() {
  window_.SetBorderless(false);
  window_.SetClientSize(scene_->Width(), ClientHeightFor(scene_->Height()));
}

void TFormView::SetFullScreen(bool on) {
  timing_.displaySwitching = true;
  struct ClearFlag {
    TFrameTiming& t;
    ~ClearFlag() { t.displaySwitching = false; }
  } clearFlag{timing_};
  if (on == fullScreen_ || !media_ || !scene_) return;
  if (on && !media_->HasFullScreenMode()) return;
  media_->SuspendMidiForSwitch();
  TTrace::Label(on ? "SetFullScreen.Full" : "SetFullScreen.Normal");
  if (on) TTrace::Label("SetFullScreen.Full.Bases.FreeDX");
  scene_->ReleaseDisplaySurfaces();
  if (on) TTrace::Label("SetFullScreen.Full.MediaSuspend");
  media_->SuspendVideo();
  if (on) {
    toolbarShown_ = false;
    TTrace::Label("SetFullScreen.Full.ScreenMan.FreeDX");
    media_->ReleaseSurfaces();
    TTrace::Label("SetFullScreen.Full.StoreWindow");
    windowedPosition_ = window_.Position();
    window_.SetBorderless(true);
    window_.SetPosition(0, 0);
    window_.SetClientSize(scene_->Width(), scene_->Height());
    fullScreen_ = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(options_.headless ? 0 : 100));
    TTrace::Label("SetFullScreen.Full.SetScreenManIndex");
    media_->SetModeIndex(media_->ChosenModeIndex());
    if (media_->CurrentModeIndex() != media_->ChosenModeIndex()) {
      TTrace::Label("SetFullScreen.Full.SetScreenManIndexFail");
      fullScreen_ = false;
      toolbarShown_ = dockVisible_;
      window_.SetPosition(windowedPosition_.x, windowedPosition_.y);
      SetWindowedLayout();
    }
  } else {
    toolbarShown_ = dockVisible_;
    media_->ReleaseSurfaces();
    fullScreen_ = false;
    TTrace::Label("SetFullScreen.Normal.RestoreWindow");
    window_.SetPosition(windowedPosition_.x, windowedPosition_.y);
    SetWindowedLayout();
    std::this_thread::sleep_for(std::chrono::milliseconds(options_.headless ? 0 : 100));
    media_->SetModeIndex(-1);
  }
  TTrace::Label("SetFullScreen.SetBounds");
  media_->SetWindowHandles();
  LayoutPanel();
  media_->ResumeMidiAfterSwitch();
  TTrace::Label("SetFullScreen.Bases.Reload");
  scene_->ReloadDisplaySurfaces();
  TTrace::Label("SetFullScreen.MediaResume");
  media_->ResumeVideo();
}

void TFormView::ReapplyFullScreenMode() {
  if (!fullScreen_ || !media_ || media_->ChosenModeIndex() < 0 ||
      media_->ChosenModeIndex() == media_->CurrentModeIndex())
    return;
  timing_.displaySwitching = true;
  scene_->ReleaseDisplaySurfaces();
  media_->SuspendVideo();
  media_->SetModeIndex(media_->ChosenModeIndex());
  if (media_->CurrentModeIndex() != media_->ChosenModeIndex()) {
    fullScreen_ = false;
    toolbarShown_ = dockVisible_;
    SetWindowedLayout();
  }
  media_->SetWindowHandles();
  LayoutPanel();
  scene_->ReloadDisplaySurfaces();
  media_->ResumeVideo();
  timing_.displaySwitching = false;
}

void TFormView::ExitConfirmation() {
  bool remembered = timing_.exitRequested;
  timing_.exitRequested = true;
  std::string title = project_ ? project_->Title() : std::string();
  std::string text;
  if (IsJapaneseDefaultLanguage())
    text = "\x81u" + title + "\x81v\x82\xF0\x8FI\x97\xB9\x82\xB5\x82\xDC\x82\xB7\x82\xA9\x81H";  // 「%s」を終了しますか？
  else
    text = "Do you want to exit " + title + "?";
  if (ShowMessageBox(title, text, MessageButtons::YesNo, MessageIcon::Question) == MessageAnswer::Yes)
    window_.Post([this] { FormClose(); });
  else
    timing_.exitRequested = remembered;
}

void TFormView::OnCloseRequest() { FormClose(); }

void TFormView::FormClose() {
  if (closed_) return;
  closed_ = true;
  timing_.exitRequested = true;
  if (!options_.dumpVarsFile.empty() && !factory_.DumpVariables(options_.dumpVarsFile))
    std::fprintf(stderr, "kivoplay: could not write the variable dump %s\n", options_.dumpVarsFile.c_str());
  // Stopped before the hand-over is cancelled, so the frame thread never runs on (advancing the
  // game clock) between the cancel and the join.
  if (loopThread_) loopThread_->Stop();
  if (handoff_) handoff_->Cancel();
  loopThread_.reset();
  TTrace::Label("Project.Free");
  project_.reset();
  TTrace::Label("SysFuncMan.Free");
  TTrace::Label("ParamMan.Free");
  factory_.FreeValues();
  TTrace::Label("KivoFinalize");
  scene_.reset();
  TTrace::Label("MediaFinal");
  media_.reset();
  window_.Quit();
}

void TFormView::OnPaint() {
  int cw = window_.ClientWidth(), ch = window_.ClientHeight();
  if (!scene_) {
    window_.FillClientRect({0, 0, cw, ch}, 0);
    return;
  }
  TRect panel = TRect::FromSize(panelLeft_, panelTop_, scene_->Width(), scene_->Height());
  window_.FillClientRect({0, panel.top, panel.left, ch}, 0);
  window_.FillClientRect({panel.right, panel.top, cw, ch}, 0);
  window_.FillClientRect({panel.left, toolbarShown_ ? TToolbar::kDockHeight : 0, panel.right, panel.top}, 0);
  window_.FillClientRect({panel.left, panel.bottom, panel.right, ch}, 0);
  DrawToolbar();
}

void TFormView::DrawToolbar() {
  if (!toolbarShown_) return;
  int width = window_.ClientWidth();
  std::vector<uint32_t> strip = toolbar_.Draw(width, pressedButton_);
  TRect all{0, 0, width, TToolbar::kDockHeight};
  window_.PresentRects(strip.data(), width, TToolbar::kDockHeight, width * 4, {0, 0}, {&all, 1});
}

}  // namespace kivo
