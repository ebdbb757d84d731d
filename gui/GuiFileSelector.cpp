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
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c >= 0 && c < 0x20; }, ' ');
  return text;
}

// An extension usable in a name pattern: letters, digits and a few harmless signs.
bool usableExtension(const std::string& extension) {
  if (extension.empty()) return false;
  return std::all_of(extension.begin(), extension.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '+' || c == '~';
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

GuiFileSelector::GuiFileSelector(EffectBaseX* owner) : effect(owner) {}

GuiFileSelector::~GuiFileSelector() {
  completion = nullptr;
  dialog.reset();
  std::erase(startedSelectors, this);
  releaseResults();
}

// ---- the selection --------------------------------------------------------------------------

std::int32_t GuiFileSelector::run(VstFileSelect* newRecord) {
  if (isRunning() || runsInProgress > 0) return 0;
  if (!begin(newRecord)) return resultCount;
  ++runsInProgress;
  EditorBase* editor = effect ? dynamic_cast<EditorBase*>(effect->getEditor()) : nullptr;
  GuiFrame* frame = dialogFrame();
  while (dialog->wait(kRunWaitMs)) {
    if (!editor) continue;
    // The host closed the editor, or destroyed its window: the dialog goes with it.
    if (frame && (editor->getFrame() != frame || !frame->isWindowOpen())) {
      dialog->cancel();
      break;
    }
    editor->pumpIdle();
  }
  --runsInProgress;
  resultCount = collectResults();
  return resultCount;
}

bool GuiFileSelector::start(VstFileSelect* newRecord, Completion done) {
  if (!newRecord || isRunning()) return false;
  const bool open = begin(newRecord);
  if (!open && !hostRan) return false;
  completion = std::move(done);
  started = true;
  startedSelectors.push_back(this);
  return true;
}

void GuiFileSelector::cancel() {
  if (dialog) dialog->cancel();
}

bool GuiFileSelector::isRunning() const { return started || (dialog && dialog->isOpen()); }

bool GuiFileSelector::poll() {
  if (!started) return false;
  if (dialog && dialog->poll()) return true;
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
    if (selector->effect == owner) selector->poll();
  }
}

// Ends a started selection; the completion is the last thing done, since it may release this.
bool GuiFileSelector::complete() {
  if (dialog) resultCount = collectResults();
  started = false;
  std::erase(startedSelectors, this);
  Completion done = std::move(completion);
  completion = nullptr;
  if (done) done(resultCount);
  return false;
}

// Clears the record's results and either lets the host run the selection (finished on return)
// or opens the dialog; true when a dialog is open.
bool GuiFileSelector::begin(VstFileSelect* newRecord) {
  releaseResults();
  record = newRecord;
  resultCount = 0;
  tool.clear();
  if (!record) return false;
  record->nbReturnPath = 0;
  if (record->returnPath && record->sizeReturnPath > 0) record->returnPath[0] = '\0';
  if (hostOffersSelector()) {
    hostRan = effect->hostOpenFileSelector(record);
    if (!hostRan) return false;
    // What the host reports, within what the record can hold.
    const std::int32_t reported = std::max<VstInt32>(record->nbReturnPath, 0);
    if (record->command == kVstMultipleFilesLoad) {
      resultCount = record->returnMultiplePaths ? reported : 0;
    } else {
      resultCount = record->returnPath && reported > 0 ? 1 : 0;
    }
    return false;
  }
  record->reserved = 0;
  dialog = FileDialog::start(requestFor(*record));
  if (!dialog) return false;
  tool = dialog->tool();
  return true;
}

bool GuiFileSelector::hostOffersSelector() const {
  if (!effect) return false;
  char open[] = "openFileSelector";
  char close[] = "closeFileSelector";
  return effect->hostCanDo(open) && effect->hostCanDo(close);
}

GuiFrame* GuiFileSelector::dialogFrame() const {
  EditorBase* editor = effect ? dynamic_cast<EditorBase*>(effect->getEditor()) : nullptr;
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
  if (!dialog || !record) return 0;
  const std::vector<std::string> paths = dialog->chosen();
  dialog.reset();
  if (paths.empty()) return 0;
  if (record->command == kVstMultipleFilesLoad) return storeSeveralPaths(paths);
  return storeSinglePath(paths.front());
}

// Into the caller's buffer when it gave one (a path that does not fit is refused: a cut path
// names another file), else into a buffer of the selector's, marked in the record.
std::int32_t GuiFileSelector::storeSinglePath(const std::string& path) {
  if (record->returnPath) {
    if (record->sizeReturnPath <= 0 ||
        path.size() + 1 > static_cast<std::size_t>(record->sizeReturnPath)) {
      return 0;
    }
    std::memcpy(record->returnPath, path.c_str(), path.size() + 1);
  } else {
    allocatedPath = copyOf(path);
    if (!allocatedPath) return 0;
    record->returnPath = allocatedPath;
    record->reserved = 1;
  }
  record->nbReturnPath = 1;
  return 1;
}

std::int32_t GuiFileSelector::storeSeveralPaths(const std::vector<std::string>& paths) {
  // The tool's output is limited, so the count fits.
  const auto count = static_cast<std::int32_t>(paths.size());
  allocatedPaths = new (std::nothrow) char*[static_cast<std::size_t>(count)]();
  if (!allocatedPaths) return 0;
  allocatedCount = count;
  for (std::int32_t i = 0; i < count; ++i) {
    allocatedPaths[i] = copyOf(paths[static_cast<std::size_t>(i)]);
    if (!allocatedPaths[i]) {
      releaseResults();
      return 0;
    }
  }
  record->returnMultiplePaths = allocatedPaths;
  record->nbReturnPath = count;
  return count;
}

// Hands a host selection back to the host, or frees what the selector allocated and takes it
// out of the record, so that the record never points at freed memory.
void GuiFileSelector::releaseResults() {
  if (hostRan && record && effect) effect->hostCloseFileSelector(record);
  hostRan = false;
  if (allocatedPath) {
    if (record && record->returnPath == allocatedPath) {
      record->returnPath = nullptr;
      record->reserved = 0;
    }
    delete[] allocatedPath;
    allocatedPath = nullptr;
  }
  if (allocatedPaths) {
    if (record && record->returnMultiplePaths == allocatedPaths) {
      record->returnMultiplePaths = nullptr;
      record->nbReturnPath = 0;
    }
    for (std::int32_t i = 0; i < allocatedCount; ++i) delete[] allocatedPaths[i];
    delete[] allocatedPaths;
    allocatedPaths = nullptr;
    allocatedCount = 0;
  }
}
