// Loads the built plug-in once per test program and makes fresh instances through our host
// library, exactly as a host would; openPluginOrAbort loads another plug-in the same way.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "overtonic-host/lib/PluginLibrary.h"

// The plug-in at `path`; a test program that cannot load it ends at once, saying why.
inline hostlib::PluginLibrary openPluginOrAbort(const char* path) {
  auto opened = hostlib::PluginLibrary::open(path);
  if (!opened.ok()) {
    std::fprintf(stderr, "%s\n", opened.error().c_str());
    std::abort();
  }
  return std::move(opened).value();
}

inline hostlib::PluginLibrary& pluginLibrary() {
  static hostlib::PluginLibrary loaded = openPluginOrAbort(OVERTONIC_PLUGIN_PATH);
  return loaded;
}

inline std::unique_ptr<hostlib::PluginInstance> newInstance() {
  auto made = pluginLibrary().instantiate();
  if (!made.ok()) {
    ADD_FAILURE() << made.error();
    return nullptr;
  }
  return std::move(made).value();
}

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin = newInstance();
    ASSERT_TRUE(plugin);
  }
  std::unique_ptr<hostlib::PluginInstance> plugin;
};
