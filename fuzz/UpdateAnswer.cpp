// The update check's answer as the dialog reads it (UTF-8, at most 64 KB)
// against an installed version.
#include "app/shell/UpdateInfo.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString body = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    (void)vx::CheckForUpdate(body, vx::InstalledVersionText(1, 2, 3));
    return 0;
}
