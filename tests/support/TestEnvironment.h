#pragma once

#include <QString>
#include <functional>

namespace test {

/// The temporary home folder of the running test: HOME and XDG_CONFIG_HOME
/// point into it, so nothing a test does touches the user's files.
QString home();

/// Installs the per-test temporary home and pins TZ and LC_ALL; call once
/// from main before the tests run.
void installEnvironment();

/// Runs `main` as a helper process when argv asks for one (`--helper name
/// args...`); returns true when it did, with the helper's exit status in `status`.
bool runHelperIfAsked(int argc, char** argv, int& status);

}  // namespace test
