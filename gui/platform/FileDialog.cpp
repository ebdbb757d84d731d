// The file dialog through zenity or kdialog. With a window to attach to, zenity is first asked
// for its option list (`--help-general`), since not every version has --attach and an unknown
// option makes it refuse to run; that question runs as a child process like the dialog itself,
// so the editor does not wait for it either.
#include "gui/platform/FileDialog.h"

#include <chrono>
#include <cstdlib>

#include "gui/platform/ChildProcess.h"

namespace {

// Longest wait for zenity's option list before the dialog is opened without --attach.
constexpr std::int64_t kOptionListWaitMs = 3000;
constexpr std::size_t kOptionListLimit = 64 * 1024;

std::string joined(const std::vector<std::string>& words, const char* separator) {
  std::string text;
  for (const std::string& word : words) {
    if (!text.empty()) text += separator;
    text += word;
  }
  return text;
}

// zenity reads a filter as "LABEL | PATTERN PATTERN ...": a bar in the label would end it early.
std::string zenityLabel(const std::string& label) {
  std::string text = label;
  for (char& c : text) {
    if (c == '|') c = '/';
  }
  return text;
}

// kdialog reads filters as "PATTERNS|LABEL" lines, and takes the whole text for a list of MIME
// types when it holds an unescaped slash.
std::string kdialogLabel(const std::string& label) {
  std::string text;
  for (char c : label) {
    if (c == '|' || c == '\n') c = ' ';
    if (c == '/') text += '\\';
    text += c;
  }
  return text;
}

std::string kdialogFilter(const std::vector<FileFilter>& filters) {
  std::string text;
  for (const FileFilter& filter : filters) {
    if (!text.empty()) text += '\n';
    text += joined(filter.patterns, " ") + "|" + kdialogLabel(filter.label);
  }
  return text;
}

std::string kdialogStart(const FileDialogRequest& request) {
  if (!request.folder.empty()) return request.folder;
  const char* home = std::getenv("HOME");
  return home && *home ? home : ".";
}

std::int64_t nowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

std::vector<std::string> zenityArguments(const FileDialogRequest& request, bool attach) {
  std::vector<std::string> words{"zenity", "--file-selection"};
  if (!request.title.empty()) words.push_back("--title=" + request.title);
  switch (request.mode) {
    case FileDialogMode::open: break;
    case FileDialogMode::save:
      words.push_back("--save");
      words.push_back("--confirm-overwrite");
      break;
    case FileDialogMode::openSeveral:
      words.push_back("--multiple");
      words.push_back("--separator=\n");
      break;
    case FileDialogMode::chooseFolder: words.push_back("--directory"); break;
  }
  if (!request.folder.empty()) {
    // A trailing slash makes zenity open the folder instead of selecting it.
    const bool slash = request.folder.back() == '/';
    words.push_back("--filename=" + request.folder + (slash ? "" : "/"));
  }
  if (request.mode != FileDialogMode::chooseFolder) {
    for (const FileFilter& filter : request.filters) {
      words.push_back("--file-filter=" + zenityLabel(filter.label) + " | " +
                      joined(filter.patterns, " "));
    }
  }
  if (attach && request.owner != 0) words.push_back("--attach=" + std::to_string(request.owner));
  return words;
}

std::vector<std::string> kdialogArguments(const FileDialogRequest& request) {
  std::vector<std::string> words{"kdialog"};
  if (!request.title.empty()) {
    words.push_back("--title");
    words.push_back(request.title);
  }
  if (request.owner != 0) {
    words.push_back("--attach");
    words.push_back(std::to_string(request.owner));
  }
  const bool filtered = !request.filters.empty();
  switch (request.mode) {
    case FileDialogMode::open:
    case FileDialogMode::openSeveral: words.push_back("--getopenfilename"); break;
    case FileDialogMode::save: words.push_back("--getsavefilename"); break;
    case FileDialogMode::chooseFolder: words.push_back("--getexistingdirectory"); break;
  }
  const bool folderOnly = request.mode == FileDialogMode::chooseFolder;
  if (!request.folder.empty() || (filtered && !folderOnly)) words.push_back(kdialogStart(request));
  if (filtered && !folderOnly) words.push_back(kdialogFilter(request.filters));
  if (request.mode == FileDialogMode::openSeveral) {
    words.push_back("--multiple");
    words.push_back("--separate-output");
  }
  return words;
}

std::vector<std::string> parseDialogOutput(const std::string& output, FileDialogMode mode) {
  std::string text = output;
  if (!text.empty() && text.back() == '\n') text.pop_back();
  auto usable = [](const std::string& path) {
    return !path.empty() && path[0] == '/' && path.find('\0') == std::string::npos;
  };
  std::vector<std::string> paths;
  if (mode != FileDialogMode::openSeveral) {
    if (usable(text)) paths.push_back(text);
    return paths;
  }
  std::size_t begin = 0;
  while (begin <= text.size()) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(begin, end - begin);
    if (usable(line)) paths.push_back(std::move(line));
    begin = end + 1;
  }
  return paths;
}

// ---- the running dialog ---------------------------------------------------------------------

std::unique_ptr<FileDialog> FileDialog::start(const FileDialogRequest& request) {
  std::unique_ptr<FileDialog> dialog(new FileDialog());
  dialog->request = request;
  if (request.owner != 0) {
    int error = 0;
    dialog->process = ChildProcess::start({"zenity", "--help-general"}, &error, kOptionListLimit);
    if (dialog->process) {
      dialog->tool_ = "zenity";
      dialog->stage = Stage::askingZenity;
      dialog->askedAtMs = nowMs();
      return dialog;
    }
  } else if (dialog->launchZenity(false)) {
    return dialog;
  }
  if (dialog->launchKdialog()) return dialog;
  return nullptr;
}

FileDialog::~FileDialog() = default;

bool FileDialog::launchZenity(bool attach) {
  process = ChildProcess::start(zenityArguments(request, attach));
  if (!process) return false;
  tool_ = "zenity";
  stage = Stage::open;
  return true;
}

bool FileDialog::launchKdialog() {
  process = ChildProcess::start(kdialogArguments(request));
  if (!process) return false;
  tool_ = "kdialog";
  stage = Stage::open;
  return true;
}

bool FileDialog::poll() {
  switch (stage) {
    case Stage::closed: return false;
    case Stage::askingZenity: {
      const bool answering = process->poll();
      if (answering && nowMs() - askedAtMs < kOptionListWaitMs) return true;
      const bool attach =
          process->succeeded() && process->output().find("--attach") != std::string::npos;
      process.reset();  // stops it if it never answered
      if (!launchZenity(attach) && !launchKdialog()) stage = Stage::closed;
      return stage != Stage::closed;
    }
    case Stage::open:
      if (process->poll()) return true;
      finish();
      return false;
  }
  return false;
}

bool FileDialog::wait(std::int32_t milliseconds) {
  if (stage == Stage::closed) return false;
  process->wait(milliseconds);
  return poll();
}

void FileDialog::finish() {
  chosen_ = process->succeeded() ? parseDialogOutput(process->output(), request.mode)
                                 : std::vector<std::string>{};
  process.reset();
  stage = Stage::closed;
}

void FileDialog::cancel() {
  process.reset();
  chosen_.clear();
  stage = Stage::closed;
}

bool FileDialog::isOpen() const { return stage != Stage::closed; }
