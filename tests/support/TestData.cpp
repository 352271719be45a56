// Built into every test program with its own folder's data path, so a test
// run by hand finds its data where ctest points it (VX_TEST_DATA).
#include <cstdlib>

namespace {
const bool dataDirDefaulted = (::setenv("VX_TEST_DATA", VX_DEFAULT_TEST_DATA, 0), true);
}
