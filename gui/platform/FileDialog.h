// The desktop's file dialog, for when the host offers none of its own: `zenity`, else `kdialog`,
// each run as a child process without a shell and made transient for the editor's window where
// the tool allows. The dialog runs while the editor goes on: poll() advances it without waiting.
// The request and the answer are plain values; the toolkit's GuiFileSelector fills them from and
// into the host's file-select record.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ChildProcess;

enum class FileDialogMode { open, save, openSeveral, chooseFolder };

// One entry of the dialog's type list: the text shown and the name patterns it lets through.
struct FileFilter {
  std::string label;
  std::vector<std::string> patterns;  // e.g. "*.fxp"
};

struct FileDialogRequest {
  FileDialogMode mode = FileDialogMode::open;
  std::string title;                // empty: the tool's own title
  std::string folder;               // where the dialog starts; empty: the tool's choice
  std::vector<FileFilter> filters;  // the first one is selected at the start
  std::uintptr_t owner = 0;         // X11 window the dialog belongs to (0: none)
};

// The command line of each tool for a request. zenity's --attach is given only when the tool
// said (in its option list) that it has it.
std::vector<std::string> zenityArguments(const FileDialogRequest& request, bool attach);
std::vector<std::string> kdialogArguments(const FileDialogRequest& request);

// What a tool printed, as absolute paths: one path (the whole output but its final line break)
// for a single choice, one per line for several. Anything that is not an absolute path, or holds
// a zero byte, is left out.
std::vector<std::string> parseDialogOutput(const std::string& output, FileDialogMode mode);

class FileDialog {
 public:
  // Starts the dialog with the first tool that can be started. Null when neither can.
  static std::unique_ptr<FileDialog> start(const FileDialogRequest& request);
  // Ends the tool if it is still open.
  ~FileDialog();
  FileDialog(const FileDialog&) = delete;
  FileDialog& operator=(const FileDialog&) = delete;

  // Advances the dialog without waiting; true while it is open.
  bool poll();
  // Waits up to `milliseconds` for the tool, then polls; true while it is open.
  bool wait(std::int32_t milliseconds);
  // Closes the dialog as if cancelled.
  void cancel();
  bool isOpen() const;
  // The chosen paths once the dialog is closed: empty when it was cancelled, failed or killed.
  const std::vector<std::string>& chosen() const { return chosen_; }
  // "zenity" or "kdialog".
  const std::string& tool() const { return tool_; }

 private:
  enum class Stage { askingZenity, open, closed };
  FileDialog() = default;
  bool launchZenity(bool attach);
  bool launchKdialog();
  void finish();

  FileDialogRequest request;
  Stage stage = Stage::closed;
  std::string tool_;
  std::unique_ptr<ChildProcess> process;
  std::int64_t askedAtMs = 0;  // when zenity was asked for its option list
  std::vector<std::string> chosen_;
};
