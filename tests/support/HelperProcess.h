#pragma once

#include <QStringList>
#include <functional>

namespace test {

using HelperMain = std::function<int(const QStringList& args)>;

/// Registers a function that a second real process runs: the test executable
/// starts itself again with `--helper name args...`.
bool registerHelper(const QString& name, HelperMain main);

/// Looks up a registered helper; null when none has that name.
const HelperMain* findHelper(const QString& name);

/// Arguments that start this test executable as the named helper.
QStringList helperArguments(const QString& name, const QStringList& args);

/// Path of the running test executable.
QString testExecutable();

}  // namespace test

/// Defines a helper process entry point, registered before main runs.
#define WENDLE_TEST_HELPER(name)                                          \
  static int wendleHelper_##name(const QStringList& args);                \
  [[maybe_unused]] static const bool wendleHelperRegistered_##name =      \
      ::test::registerHelper(QStringLiteral(#name), wendleHelper_##name); \
  static int wendleHelper_##name([[maybe_unused]] const QStringList& args)
