// Loading a plug-in: file checks, dlopen, entry lookup (checked to lie inside the loaded object)
// and the instantiate sequence a host performs: entry call, record check, effOpen.
#include "overtonic-host/lib/PluginLibrary.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "overtonic-host/lib/HostCallback.h"

namespace hostlib {
namespace {

std::string lastDlError(const std::string& path) {
  const char* text = dlerror();
  std::string reason = text != nullptr ? text : "unknown reason";
  // dlerror usually starts with the path already; the caller names the file itself.
  const std::string prefix = path + ": ";
  if (reason.rfind(prefix, 0) == 0) reason.erase(0, prefix.size());
  return reason;
}

Status checkFile(const std::string& path) {
  if (path.empty()) return fail("no plug-in path given");
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    return fail(path + ": cannot open plug-in (" + std::strerror(errno) + ")");
  }
  if (S_ISDIR(info.st_mode)) return fail(path + ": is a folder, not a plug-in");
  if (!S_ISREG(info.st_mode)) return fail(path + ": not a regular file");
  return {};
}

// Finds `name` in the object itself, never in another object of the process.
PluginEntry findEntry(void* handle, const char* name) {
  dlerror();
  void* symbol = dlsym(handle, name);
  if (symbol == nullptr) return nullptr;
  link_map* own = nullptr;
  link_map* owner = nullptr;
  Dl_info info{};
  if (dlinfo(handle, RTLD_DI_LINKMAP, &own) != 0 ||
      dladdr1(symbol, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) == 0 ||
      own != owner) {
    return nullptr;
  }
  return reinterpret_cast<PluginEntry>(symbol);
}

}  // namespace

PluginLibrary::PluginLibrary(std::shared_ptr<void> handle, std::string path, PluginEntry entry,
                             std::string entryName)
    : handle_(std::move(handle)),
      path_(std::move(path)),
      entry_(entry),
      entryName_(std::move(entryName)) {}

Result<PluginLibrary> PluginLibrary::open(const std::string& path) {
  if (Status file = checkFile(path); !file) return fail(file.error());
  // A name without a slash would be searched in the library path, not in the current folder.
  const std::string loadPath = path.find('/') == std::string::npos ? "./" + path : path;
  dlerror();
  // RTLD_NODELETE: once loaded, the plug-in and the libraries it pulls in stay in the process,
  // as in most hosts. Unloading them runs no destructors for what their start-up code
  // allocated (a leak per load) and would strand any exit handler they registered.
  void* raw = dlopen(loadPath.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (raw == nullptr) {
    return fail(path + ": not a loadable shared object (" + lastDlError(loadPath) + ")");
  }
  std::shared_ptr<void> handle(raw, [](void* h) { dlclose(h); });
  for (const char* name : {"VSTPluginMain", "main"}) {
    if (PluginEntry entry = findEntry(raw, name)) {
      return PluginLibrary(std::move(handle), path, entry, name);
    }
  }
  return fail(path + ": no plug-in entry point (exports neither VSTPluginMain nor main)");
}

Result<std::unique_ptr<PluginInstance>> PluginLibrary::instantiate(const HostOptions& options) {
  std::unique_ptr<PluginInstance> instance(new PluginInstance(handle_, path_, options));
  AEffect* effect = nullptr;
  {
    detail::PendingInstance pending(instance.get());
    try {
      effect = entry_(&detail::hostCallback);
    } catch (...) {
      return fail(path_ + ": entry " + entryName_ + " threw an exception");
    }
  }
  if (effect == nullptr) return fail(path_ + ": entry refused (" + entryName_ + " returned null)");
  if (effect->magic != kEffectMagic) {
    // Not an effect record: nothing in it can be trusted, not even its dispatcher.
    return fail(path_ + ": entry returned a record without the 'VstP' magic");
  }
  if (effect->dispatcher == nullptr) {
    return fail(path_ + ": entry returned a record without a dispatcher");
  }
  if (!detail::registerEffect(effect, instance.get())) {
    return fail(path_ + ": entry returned an effect that is already open");
  }
  instance->effect_ = effect;
  instance->dispatch(effOpen);
  return instance;
}

}  // namespace hostlib
