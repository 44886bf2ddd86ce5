#pragma once

#include <QString>

namespace test {

/// The temporary home folder of the running test: HOME and XDG_CONFIG_HOME
/// point into it, so nothing a test does touches the user's files.
QString home();

/// What a test program's main does once its application object exists: runs
/// the helper process argv asks for (`--helper name args...`), else installs
/// the per-test temporary home, pins TZ and LC_ALL and runs the tests. Gives
/// the exit status.
int runTests(int& argc, char** argv);

}  // namespace test
