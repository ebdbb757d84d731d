// The file selector: the host's selector or the desktop's dialog, the record's type list turned
// into the dialog's filters, and the results written into the record.
#include "gui/GuiFileSelector.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "gui/EditorBase.h"
#include "gui/GuiFrame.h"
#include "gui/platform/FileDialog.h"
#include "host/EffectBaseX.h"

namespace {

// More file types than this in one record are not read (the rest is likely garbage).
constexpr std::int32_t kMaxFileTypes = 256;
// Longest starting folder read from the record (Linux's path limit).
constexpr std::size_t kMaxFolderBytes = 4096;
// How long run waits for the dialog between two turns of the editor.
constexpr std::int32_t kRunWaitMs = 10;

// Selections begun with start and not yet completed, polled from the editors' idle.
std::vector<GuiFileSelector*> startedSelectors;
// Synchronous runs in progress: only one dialog at a time holds the thread.
int runsInProgress = 0;

// Text of a fixed-size record field, which need not be zero-terminated.
std::string fieldText(const char* field, std::size_t size) {
  return std::string(field, strnlen(field, size));
}

std::string withoutControlCharacters(std::string text) {
  std::replace_if(text.begin(), text.end(), [](char c) { return c >= 0 && c < 0x20; }, ' ');
  return text;
}

// An extension usable in a name pattern: letters, digits and a few harmless signs.
bool usableExtension(const std::string& extension) {
  if (extension.empty()) return false;
  return std::all_of(extension.begin(), extension.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '_' || c == '-' || c == '+' || c == '~';
  });
}

// "*.ext" in the spelling given and, since the extension is matched without regard to case, in
// lower and upper case.
std::vector<std::string> patternsFor(const std::string& extension) {
  std::string lower = extension;
  std::string upper = extension;
  for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  for (char& c : upper) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
  std::vector<std::string> patterns{"*." + extension};
  for (const std::string& spelling : {lower, upper}) {
    const std::string pattern = "*." + spelling;
    if (std::find(patterns.begin(), patterns.end(), pattern) == patterns.end()) {
      patterns.push_back(pattern);
    }
  }
  return patterns;
}

FileDialogMode modeFor(VstInt32 command) {
  switch (command) {
    case kVstFileSave: return FileDialogMode::save;
    case kVstMultipleFilesLoad: return FileDialogMode::openSeveral;
    case kVstDirectorySelect: return FileDialogMode::chooseFolder;
    default: return FileDialogMode::open;
  }
}

char* copyOf(const std::string& text) {
  char* copy = new (std::nothrow) char[text.size() + 1];
  if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

}  // namespace

GuiFileSelector::GuiFileSelector(EffectBaseX* owner) : effect_(owner) {}

GuiFileSelector::~GuiFileSelector() {
  completion_ = nullptr;
  dialog_.reset();
  std::erase(startedSelectors, this);
  releaseResults();
}

// ---- the selection --------------------------------------------------------------------------

std::int32_t GuiFileSelector::run(VstFileSelect* newRecord) {
  if (isRunning() || runsInProgress > 0) return 0;
  if (!begin(newRecord)) return resultCount_;
  ++runsInProgress;
  EditorBase* editor = effect_ ? dynamic_cast<EditorBase*>(effect_->getEditor()) : nullptr;
  GuiFrame* frame = dialogFrame();
  while (dialog_->wait(kRunWaitMs)) {
    if (!editor) continue;
    // The host closed the editor, or destroyed its window: the dialog goes with it.
    if (frame && (editor->getFrame() != frame || !frame->isWindowOpen())) {
      dialog_->cancel();
      break;
    }
    editor->pumpIdle();
  }
  --runsInProgress;
  resultCount_ = collectResults();
  return resultCount_;
}

bool GuiFileSelector::start(VstFileSelect* newRecord, Completion done) {
  if (!newRecord || isRunning()) return false;
  const bool open = begin(newRecord);
  if (!open && !hostRan_) return false;
  completion_ = std::move(done);
  started_ = true;
  startedSelectors.push_back(this);
  return true;
}

void GuiFileSelector::cancel() {
  if (dialog_) dialog_->cancel();
}

bool GuiFileSelector::isRunning() const { return started_ || (dialog_ && dialog_->isOpen()); }

bool GuiFileSelector::poll() {
  if (!started_) return false;
  if (dialog_ && dialog_->poll()) return true;
  return complete();
}

void GuiFileSelector::pollAll(EffectBaseX* owner) {
  // A completion may release any selector, itself included: each is looked up again first.
  const std::vector<GuiFileSelector*> snapshot = startedSelectors;
  for (GuiFileSelector* selector : snapshot) {
    if (std::find(startedSelectors.begin(), startedSelectors.end(), selector) ==
        startedSelectors.end()) {
      continue;
    }
    if (selector->effect_ == owner) selector->poll();
  }
}

// Ends a started selection; the completion is the last thing done, since it may release this.
bool GuiFileSelector::complete() {
  if (dialog_) resultCount_ = collectResults();
  started_ = false;
  std::erase(startedSelectors, this);
  Completion done = std::move(completion_);
  completion_ = nullptr;
  if (done) done(resultCount_);
  return false;
}

// Clears the record's results and either lets the host run the selection (finished on return)
// or opens the dialog; true when a dialog is open.
bool GuiFileSelector::begin(VstFileSelect* newRecord) {
  releaseResults();
  record_ = newRecord;
  resultCount_ = 0;
  tool_.clear();
  if (!record_) return false;
  record_->nbReturnPath = 0;
  if (record_->returnPath && record_->sizeReturnPath > 0) record_->returnPath[0] = '\0';
  if (hostOffersSelector()) {
    hostRan_ = effect_->hostOpenFileSelector(record_);
    if (!hostRan_) return false;
    // What the host reports, within what the record can hold.
    const std::int32_t reported = std::max<VstInt32>(record_->nbReturnPath, 0);
    if (record_->command == kVstMultipleFilesLoad) {
      resultCount_ = record_->returnMultiplePaths ? reported : 0;
    } else {
      resultCount_ = record_->returnPath && reported > 0 ? 1 : 0;
    }
    return false;
  }
  record_->reserved = 0;
  dialog_ = FileDialog::start(requestFor(*record_));
  if (!dialog_) return false;
  tool_ = dialog_->tool();
  return true;
}

bool GuiFileSelector::hostOffersSelector() const {
  if (!effect_) return false;
  char open[] = "openFileSelector";
  char close[] = "closeFileSelector";
  return effect_->hostCanDo(open) && effect_->hostCanDo(close);
}

GuiFrame* GuiFileSelector::dialogFrame() const {
  EditorBase* editor = effect_ ? dynamic_cast<EditorBase*>(effect_->getEditor()) : nullptr;
  GuiFrame* frame = editor ? editor->getFrame() : nullptr;
  return frame && frame->isWindowOpen() && frame->getPlatformWindow() ? frame : nullptr;
}

FileDialogRequest GuiFileSelector::requestFor(const VstFileSelect& selection) const {
  FileDialogRequest request;
  request.mode = modeFor(selection.command);
  request.title = withoutControlCharacters(fieldText(selection.title, sizeof selection.title));
  if (selection.initialPath) {
    std::string folder = fieldText(selection.initialPath, kMaxFolderBytes);
    // Only an absolute path: anything else could be taken for one of the tool's options.
    if (!folder.empty() && folder[0] == '/') request.folder = std::move(folder);
  }
  request.filters = filtersFor(selection);
  if (GuiFrame* frame = dialogFrame()) request.owner = frame->getPlatformWindow()->dialogOwner();
  return request;
}

std::vector<FileFilter> GuiFileSelector::filtersFor(const VstFileSelect& selection) {
  std::vector<FileFilter> filters;
  if (selection.command == kVstDirectorySelect) return filters;
  std::vector<FileFilter> types;
  std::vector<std::string> everyPattern;
  const std::int32_t count =
      selection.fileTypes ? std::clamp<VstInt32>(selection.nbFileTypes, 0, kMaxFileTypes) : 0;
  for (std::int32_t i = 0; i < count; ++i) {
    const VstFileType& type = selection.fileTypes[i];
    std::string extension = fieldText(type.dosType, sizeof type.dosType);
    if (!extension.empty() && extension[0] == '.') extension.erase(0, 1);
    if (!usableExtension(extension)) continue;
    const std::string name = withoutControlCharacters(fieldText(type.name, sizeof type.name));
    FileFilter filter{name + " (." + extension + ")", patternsFor(extension)};
    everyPattern.push_back("*." + extension);
    types.push_back(std::move(filter));
  }
  if (types.size() > 1) {
    FileFilter all{"All Types: (", {}};
    for (std::size_t i = 0; i < everyPattern.size(); ++i) {
      all.label += (i ? ";" : "") + everyPattern[i];
    }
    all.label += ")";
    for (const FileFilter& type : types) {
      all.patterns.insert(all.patterns.end(), type.patterns.begin(), type.patterns.end());
    }
    filters.push_back(std::move(all));
  }
  filters.insert(filters.end(), types.begin(), types.end());
  // "*.*" on the original platform; names without a dot count here too.
  filters.push_back({"Any Type (*.*)", {"*"}});
  return filters;
}

// ---- results --------------------------------------------------------------------------------

std::int32_t GuiFileSelector::collectResults() {
  if (!dialog_ || !record_) return 0;
  const std::vector<std::string> paths = dialog_->chosen();
  dialog_.reset();
  if (paths.empty()) return 0;
  if (record_->command == kVstMultipleFilesLoad) return storeSeveralPaths(paths);
  return storeSinglePath(paths.front());
}

// Into the caller's buffer when it gave one (a path that does not fit is refused: a cut path
// names another file), else into a buffer of the selector's, marked in the record.
std::int32_t GuiFileSelector::storeSinglePath(const std::string& path) {
  if (record_->returnPath) {
    if (record_->sizeReturnPath <= 0 ||
        path.size() + 1 > static_cast<std::size_t>(record_->sizeReturnPath)) {
      return 0;
    }
    std::memcpy(record_->returnPath, path.c_str(), path.size() + 1);
  } else {
    allocatedPath_ = copyOf(path);
    if (!allocatedPath_) return 0;
    record_->returnPath = allocatedPath_;
    record_->reserved = 1;
  }
  record_->nbReturnPath = 1;
  return 1;
}

std::int32_t GuiFileSelector::storeSeveralPaths(const std::vector<std::string>& paths) {
  // The tool's output is limited, so the count fits.
  const auto count = static_cast<std::int32_t>(paths.size());
  allocatedPaths_ = new (std::nothrow) char*[static_cast<std::size_t>(count)]();
  if (!allocatedPaths_) return 0;
  allocatedCount_ = count;
  for (std::int32_t i = 0; i < count; ++i) {
    allocatedPaths_[i] = copyOf(paths[static_cast<std::size_t>(i)]);
    if (!allocatedPaths_[i]) {
      releaseResults();
      return 0;
    }
  }
  record_->returnMultiplePaths = allocatedPaths_;
  record_->nbReturnPath = count;
  return count;
}

// Hands a host selection back to the host, or frees what the selector allocated and takes it
// out of the record, so that the record never points at freed memory.
void GuiFileSelector::releaseResults() {
  if (hostRan_ && record_ && effect_) effect_->hostCloseFileSelector(record_);
  hostRan_ = false;
  if (allocatedPath_) {
    if (record_ && record_->returnPath == allocatedPath_) {
      record_->returnPath = nullptr;
      record_->reserved = 0;
    }
    delete[] allocatedPath_;
    allocatedPath_ = nullptr;
  }
  if (allocatedPaths_) {
    if (record_ && record_->returnMultiplePaths == allocatedPaths_) {
      record_->returnMultiplePaths = nullptr;
      record_->nbReturnPath = 0;
    }
    for (std::int32_t i = 0; i < allocatedCount_; ++i) delete[] allocatedPaths_[i];
    delete[] allocatedPaths_;
    allocatedPaths_ = nullptr;
    allocatedCount_ = 0;
  }
}
