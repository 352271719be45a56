#include "tests/support/TestEnv.h"

#include <cstdlib>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vxtest {

namespace {

// Removes the isolated folder when the test process ends normally. A forked
// child (a death test) leaves it to the process that made it.
struct RootRemover
{
    std::string dir;
    pid_t owner;
    ~RootRemover()
    {
        if (::getpid() != owner || std::getenv("VX_TEST_KEEP"))
            return;
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

} // namespace

const std::string &isolateEnvironment()
{
    static const std::string root = [] {
        const char *base = std::getenv("VX_TEST_ROOT");
        fs::path parent = base ? fs::path(base) : fs::temp_directory_path();
        std::random_device rd;
        fs::path dir = parent / ("vxtest-" + std::to_string(::getpid()) + "-" + std::to_string(rd()));
        fs::create_directories(dir / "config");
        fs::create_directories(dir / "tmp");
        fs::create_directories(dir / "home");
        fs::create_directories(dir / "runtime");
        fs::permissions(dir / "runtime", fs::perms::owner_all, fs::perm_options::replace);
        ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        ::setenv("TMPDIR", (dir / "tmp").c_str(), 1);
        ::setenv("HOME", (dir / "home").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (dir / "runtime").c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        ::setenv("VX_BIN_DIR", VX_DEFAULT_BIN_DIR, 0);
        // The emulated chip speaks at once rather than at a chip's pace.
        ::setenv("VOXMERE_SIM_PACE", "0.004", 1);
        static RootRemover remover{dir.string(), ::getpid()};
        return dir.string();
    }();
    return root;
}

std::string dataDir()
{
    const char *d = std::getenv("VX_TEST_DATA");
    return d ? std::string(d) : std::string("data");
}

std::string freshDir(const std::string &name)
{
    static int counter = 0;
    fs::path dir = fs::path(isolateEnvironment()) / "work" / (name + "-" + std::to_string(++counter));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.string();
}

namespace {
// Isolate before any test body runs, for the plain gtest main as well.
const bool isolatedAtLoad = (isolateEnvironment(), true);
}

} // namespace vxtest
