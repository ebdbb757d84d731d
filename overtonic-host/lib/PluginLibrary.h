// PluginLibrary: a VST 2 plug-in .so loaded with dlopen(RTLD_NOW | RTLD_LOCAL) and its entry
// point (VSTPluginMain, else main). instantiate() calls the entry with our host callback, as a host
// does once per instance. Like most hosts we never unload a plug-in once loaded (RTLD_NODELETE):
// its process-wide state lives on, and a second open of the same file finds it again.
#pragma once

#include <memory>
#include <string>

#include "host/vst2.h"
#include "overtonic-host/lib/PluginInstance.h"
#include "overtonic-host/lib/Result.h"

namespace hostlib {

using PluginEntry = AEffect* (*)(audioMasterCallback);

class PluginLibrary {
 public:
  // Errors name the file and say why: missing, not a loadable shared object, no entry point.
  static Result<PluginLibrary> open(const std::string& path);

  // Calls the entry with our callback, checks the record and sends effOpen. Errors: the entry
  // refused (null), or returned something that is not an effect record.
  Result<std::unique_ptr<PluginInstance>> instantiate(const HostOptions& options = {});

  const std::string& path() const { return path_; }
  const std::string& entryName() const { return entryName_; }

 private:
  PluginLibrary(std::shared_ptr<void> handle, std::string path, PluginEntry entry,
                std::string entryName);

  std::shared_ptr<void> handle_;
  std::string path_;
  PluginEntry entry_;
  std::string entryName_;
};

}  // namespace hostlib
