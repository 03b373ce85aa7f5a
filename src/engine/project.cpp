// The project's construction order, installation check, disc prompts and shutdown.
#include "engine/project.h"

#include "platform/kivo_error.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "support/frame_timing.h"
#include "support/install_set.h"
#include "support/sjis.h"
#include "values/functions/sys_func_man.h"
#include "values/param_collection.h"
#include "vfs/vr_file_manager.h"

namespace kivo {

namespace {

const char kCaptionWarning[] = "\x8Cx\x8D\x90";      // 警告
const char kCaptionInformation[] = "\x8F\xEE\x95\xF1";  // 情報
const char kNoProject[] =
    "\x83v\x83\x8D\x83W\x83" "F\x83N\x83g\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1";  // プロジェクトがありません
const char kNoStartPage[] =
    "\x83X\x83^\x81[\x83g\x83y\x81[\x83W\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1";  // スタートページがありません
const char kReinstall[] = "\x83" "C\x83\x93\x83X\x83g\x81[\x83\x8B\x82\xB5\x92\xBC\x82\xB5\x82\xC4\x82\xAD\x82\xBE"
                          "\x82\xB3\x82\xA2";  // インストールし直してください
const char kInsertDisc[] =
    "\x83" "f\x83" "B\x83X\x83N\x82\xF0\x93\xFC\x82\xEA\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2";  // ディスクを入れてください
const char kDefaultDiscPrompt[] =
    "\x83" "f\x83" "B\x83X\x83N%d\x82\xF0\x93\xFC\x82\xEA\x82\xC4\x82\xA9\x82\xE7[OK]\x82\xF0\x83N\x83\x8A\x83" "b\x83N"
    "\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2";  // ディスク%dを入れてから[OK]をクリックしてください
const char kDefaultQuitNotice[] = "\x8FI\x97\xB9\x82\xB5\x82\xDC\x82\xB7";  // 終了します

bool IsConfigArgument(const std::string& arg) { return SjisSameText(arg, "/config"); }

bool ReadInstallSet(TStream& data, TKivoInstallSet& set) {
  try {
    set.LoadFromStream(data);
    return true;
  } catch (const EKivoError&) {
    return false;
  }
}

}  // namespace

TProject::TProject(TSysFuncMan& funcs, TTimerList& events, TProjectContext context)
    : funcs_(funcs), events_(events), context_(std::move(context)) {
  TFrameTiming& timing = FrameTiming();
  title_ = kCaptionInformation;
  setting_.discPrompt = kDefaultDiscPrompt;
  setting_.quitNotice = kDefaultQuitNotice;
  timing.exitRequested = true;
  TVrFileManager& files = TVrFileManager::Instance();

  if ((context_.arguments.empty() || IsConfigArgument(context_.arguments.front())) && !InstallCheck()) return;

  TMemoryStream projectFile;
  try {
    files.ReadFile(projectFile, "kivo.kpb");
  } catch (const EKivoError&) {
    return;  // no project: the window closes without a word
  }
  if (projectFile.Size() == 0) {
    ShowMessageBox(kCaptionWarning, kNoProject, MessageButtons::Ok, MessageIcon::Warning);
    return;
  }
  setting_.LoadFromStream(projectFile);  // an unsupported version reaches the main window
  title_ = setting_.title;

  CopySaveEntries();
  DefineInitialVariables();
  timing.exitRequested = false;

  if (files.Exists("/original_kivo.kpb")) {
    TMemoryStream original;
    TProjectSetting originalSetting;
    try {
      files.ReadFile(original, "/original_kivo.kpb");
      originalSetting.LoadFromStream(original);
      setting_.folderDiscs = originalSetting.folderDiscs;
    } catch (const EKivoError&) {
    }
  }

  callMan_ = std::make_unique<TCallMan>(funcs_, events_, *this);
  if (files.Exists(setting_.startPage)) {
    callMan_->StartPage(setting_.startPage);
  } else {
    ShowMessageBox(kCaptionWarning, kNoStartPage, MessageButtons::Ok, MessageIcon::Warning);
    timing.exitRequested = true;
  }
}

TProject::~TProject() {
  TFrameTiming& timing = FrameTiming();
  if (callMan_ && !setting_.exitPage.empty()) {
    try {
      callMan_->StartPage(setting_.exitPage);
      timing.exitRequested = false;
      callMan_->Run();
    } catch (const EKivoError&) {
    }
    timing.exitRequested = true;
  }
  callMan_.reset();
}

bool TProject::InstallCheck() {
  TVrFileManager& files = TVrFileManager::Instance();
  const std::string& programFolder = context_.programFolder;
  if (FileExists(programFolder + "install.dat") && files.BaseFolder().empty()) files.SetBaseFolder(programFolder);
  TMemoryStream data;
  TKivoInstallSet install;
  bool found = files.Exists("install.dat");
  if (found) {
    try {
      files.ReadFile(data, "install.dat");
    } catch (const EKivoError&) {
      found = false;
    }
  }
  if (!found || !ReadInstallSet(data, install)) {
    ShowMessageBox(kCaptionInformation, kReinstall, MessageButtons::Ok, MessageIcon::Information);
    return false;
  }
  bool allInstalled = install.AllInstalled != 0;
  if (!programFolder.empty() && FileExists(programFolder + "game.dat")) {
    files.RegisterArchive(programFolder + "game.dat");
    if (allInstalled) return true;
  } else if (files.SourceCount() > 0 && allInstalled) {
    return true;
  }
  for (;;) {
    if (FindInstalledDisc(install.Title)) return true;
    if (ShowMessageBox(kCaptionInformation, kInsertDisc, MessageButtons::OkCancel, MessageIcon::Information) ==
        MessageAnswer::Ok)
      continue;
    if (ShowMessageBox(install.Title, setting_.quitNotice, MessageButtons::OkCancel, MessageIcon::Information) ==
        MessageAnswer::Ok)
      return false;
  }
}

bool TProject::FindInstalledDisc(const std::string& title) {
  for (const std::string& root : OpticalDriveRoots()) {
    if (!FileExists(root + "game.dat") || !FileExists(root + "install.dat")) continue;
    TKivoInstallSet onDisc;
    try {
      onDisc.LoadFromFile(root + "install.dat");
    } catch (const EKivoError&) {
      continue;
    }
    if (onDisc.Title != title) continue;
    TVrFileManager::Instance().RegisterArchive(root + "game.dat");
    return true;
  }
  return false;
}

std::string TProject::SaveFilePath() {
  if (!saveFilePath_.empty()) return saveFilePath_;
  if (!context_.arguments.empty() && !IsConfigArgument(context_.arguments.front())) {
    std::string folder = context_.arguments.front();
    if (folder.back() != '/') folder.push_back('/');
    return saveFilePath_ = folder + "save.dat";
  }
  std::string probe = context_.programFolder + "save.dat.$$$";
  bool writable = WriteFileAtomically(probe, "") && FileExists(probe);
  DeleteFile(probe);
  if (writable) return saveFilePath_ = context_.programFolder + "save.dat";
  std::string name = setting_.title;
  for (char& c : name)
    if (std::string_view("\\/:,;*?\"<>|").find(c) != std::string_view::npos) c = '_';
  std::string folder = DataFolder() + name + "/";
  MakeFolders(folder);
  return saveFilePath_ = folder + "save.dat";
}

void TProject::CopySaveEntries() {
  std::string path = SaveFilePath();
  if (!FileExists(path)) return;
  TVrFileCollection saveFile;
  try {
    saveFile.Open(path);
  } catch (const EKivoError&) {
    return;  // an unreadable save file starts the game afresh; it is not overwritten until saved
  }
  TVrFileManager& files = TVrFileManager::Instance();
  if (files.SourceCount() == 0) return;
  TVrFileCollection& memory = files.Source(0);
  for (int i = 0; i < saveFile.EntryCount(); ++i) {
    const TVrFile& entry = saveFile.Entry(i);
    if (!SjisSameText(entry.Name().substr(0, 5), "save:")) continue;
    TVrFile& copy = memory.AddMemoryEntry(entry.Name());
    try {
      saveFile.ReadEntryData(entry, *copy.memory);
    } catch (const EKivoError&) {
      memory.DeleteEntry(entry.Name());
    }
  }
}

void TProject::DefineInitialVariables() {
  TParamCollection& vars = funcs_.Vars();
  for (const TInitialVariable& v : setting_.initialVariables) {
    if (vars.FindVar(v.name)) continue;  // restored with the status data: keeps its value
    TParamCollectionItem& item = vars.AddVar(v.type);
    try {
      item.SetName(v.name);
    } catch (const EKivoError&) {
      vars.DeleteVar(item);
      continue;
    }
    item.IsStatus = true;
    switch (v.type) {
      case TInitialVariable::Integer: item.Param->SetInt(v.intValue); break;
      case TInitialVariable::Float: item.Param->SetFloat(v.floatValue); break;
      case TInitialVariable::Boolean: item.Param->SetBool(v.boolValue); break;
      case TInitialVariable::String: item.Param->SetStr(v.stringValue); break;
      default: break;
    }
  }
}

void TProject::Run() {
  if (callMan_) callMan_->Run();
}

bool TProject::HandlePendingLoadSave() {
  bool loaded = false;
  if (pendingLoad_ >= 0) {
    pendingLoad_ = -1;  // game records are read by the save-and-load layer, which is not here yet
    loaded = true;
  }
  if (pendingSave_ >= 0) pendingSave_ = -1;
  return loaded;
}

std::string TProject::SlotTitle(int32_t slot) const {
  for (const auto& [s, t] : slotTitles_)
    if (s == slot) return t;
  return {};
}

void TProject::SetSlotTitle(int32_t slot, const std::string& title) {
  for (auto& [s, t] : slotTitles_)
    if (s == slot) {
      t = title;
      return;
    }
  slotTitles_.emplace_back(slot, title);
}

bool TProject::FileExistsOrAskForDisc(const std::string& name) {
  if (name.empty()) return false;
  TVrFileManager& files = TVrFileManager::Instance();
  if (files.Exists(name)) return true;
  int32_t disc = setting_.folderDiscs.DiscOf(SjisUpperCase(name));
  if (disc <= 0) return false;
  size_t dot = name.rfind('.');
  std::string extension = dot == std::string::npos ? std::string() : SjisLowerCase(name.substr(dot)) + ".";
  if (!extension.empty() && (SjisLowerCase(setting_.mediaExtensions) + ".").find(extension) != std::string::npos)
    return false;  // missing sound and music never ask for a disc
  TDiscRequest request;
  request.prompt = setting_.discPrompt;
  request.quitNotice = setting_.quitNotice;
  request.caption = title_;
  request.title = setting_.title;
  request.requestExit = [this] {
    FrameTiming().exitRequested = true;
    RequestClose();
  };
  return files.AskForDisc(disc, request);
}

void TProject::RequestClose() {
  if (context_.requestClose) context_.requestClose();
}

}  // namespace kivo
