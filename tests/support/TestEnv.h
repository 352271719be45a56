#pragma once

#include <string>

namespace vxtest {

// Points HOME, XDG_CONFIG_HOME and TMPDIR at a fresh folder for this test
// process, so no test reads or writes a real user's settings or temporary
// files, and VX_BIN_DIR, unless given, at the built programs. Idempotent;
// returns the folder. The folder and all below it are removed when the
// process exits normally (VX_TEST_KEEP set keeps it).
const std::string &isolateEnvironment();

// Folder of checked-in test data for the current test folder (VX_TEST_DATA,
// which each test program defaults to its own folder's data).
std::string dataDir();

// A fresh empty folder below the isolated root.
std::string freshDir(const std::string &name);

} // namespace vxtest
