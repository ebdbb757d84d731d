// GuiFileSelector: lets the user choose files or a folder for a view, through the host's own file
// selector when the host offers one (it answers yes to "openFileSelector" and "closeFileSelector"),
// otherwise through the desktop's dialog (zenity, else kdialog). The host's file-select record
// says what to choose (load one file, save, load several, choose a folder), with a title, a
// starting folder and the file types for the dialog's type list, and receives the result: one
// path in the caller's buffer (or in one the selector allocates, marked in the record) or an
// array of paths. The selector owns what it allocated, and a host selection goes back to the
// host's close operation, when the selector is released or runs again.
//
// Two ways to run it, both on the user-interface thread:
//  - run: the result at once. While the dialog is open the editor keeps drawing and the host
//    gets its idle call, as during a control's mouse tracking; presses on the panel wait until
//    the dialog is closed. The host's own user-interface thread is held meanwhile.
//  - start: returns at once; the dialog runs beside the editor and the completion is called
//    from the editor's idle when it closes. Nothing is held: the way to choose files from a view.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/vst2.h"

class EffectBaseX;
class EditorBase;
class FileDialog;
class GuiFrame;
struct FileDialogRequest;
struct FileFilter;

class GuiFileSelector {
 public:
  // Called once when a started selection ends, with the number of results (0: cancelled).
  using Completion = std::function<void(std::int32_t count)>;

  // `effect` reaches the host and, through its editor, the frame window the dialog belongs to.
  // It may be null: then the desktop's dialog is used, belonging to no window.
  explicit GuiFileSelector(EffectBaseX* effect);
  // Closes an open dialog, then hands a host selection back to the host or frees what the
  // selector allocated.
  ~GuiFileSelector();
  GuiFileSelector(const GuiFileSelector&) = delete;
  GuiFileSelector& operator=(const GuiFileSelector&) = delete;

  // Runs the selection and returns the number of results: 0 when cancelled, when neither the
  // host nor a dialog tool can do it, or when a path does not fit the caller's buffer. 0 at once
  // while this selector or another one's run is still open.
  std::int32_t run(VstFileSelect* record);
  // Begins the selection; `done` follows from the editor's idle (see pollAll). False, and no
  // completion, when nothing could begin: no record, a selection of this selector still open,
  // or neither the host nor a dialog tool available.
  bool start(VstFileSelect* record, Completion done);
  // Closes an open dialog; a started selection completes with 0.
  void cancel();
  bool isRunning() const;

  // Advances a started selection without waiting and completes it when its dialog has closed;
  // true while it is still open. The editor's idle does this for every started selector of its
  // effect; a caller without an editor calls it itself.
  bool poll();
  static void pollAll(EffectBaseX* effect);

  EffectBaseX* getEffect() const { return effect; }
  VstFileSelect* getRecord() const { return record; }
  // The host ran the last selection (and gets the record back at release).
  bool ranOnHost() const { return hostRan; }
  // The dialog tool of the last selection ("zenity", "kdialog"), empty for none.
  const std::string& dialogTool() const { return tool; }

  // The type list the dialog shows for a record, in order: "All Types: (...)" when it names
  // several types, one entry per usable type, "Any Type (*.*)"; nothing when choosing a folder.
  static std::vector<FileFilter> filtersFor(const VstFileSelect& record);

 private:
  bool begin(VstFileSelect* newRecord);
  bool hostOffersSelector() const;
  FileDialogRequest requestFor(const VstFileSelect& selection) const;
  GuiFrame* dialogFrame() const;
  std::int32_t collectResults();
  std::int32_t storeSinglePath(const std::string& path);
  std::int32_t storeSeveralPaths(const std::vector<std::string>& paths);
  void releaseResults();
  bool complete();

  EffectBaseX* effect;
  VstFileSelect* record = nullptr;
  bool hostRan = false;
  std::unique_ptr<FileDialog> dialog;
  std::string tool;
  std::int32_t resultCount = 0;
  Completion completion;
  bool started = false;             // a started selection waits for its completion
  char* allocatedPath = nullptr;    // the single result, when the caller gave no buffer
  char** allocatedPaths = nullptr;  // the several results and their array
  std::int32_t allocatedCount = 0;
};
