#pragma once

#include "platform/core/UserDefaults.h"

#include <QFile>
#include <QTemporaryDir>

/// Points the user defaults at a folder that is removed at exit, so a bench
/// program can store look choices without touching the user's own.
class ThrowawayDefaults final {
 public:
  ThrowawayDefaults() {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_folder.path()));
    pf::UserDefaults::resetAll();
  }
  ~ThrowawayDefaults() { pf::UserDefaults::resetAll(); }
  ThrowawayDefaults(const ThrowawayDefaults&) = delete;
  ThrowawayDefaults& operator=(const ThrowawayDefaults&) = delete;

 private:
  QTemporaryDir m_folder;
};
