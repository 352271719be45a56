#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace cantorel {

// Writes bytes to path through a temporary file in the same folder that is
// renamed over path once complete. Returns false (and leaves path as it was,
// with no temporary file behind) when anything fails.
[[nodiscard]] bool writeFileAtomically(const std::filesystem::path &path, const std::vector<std::uint8_t> &bytes);

} // namespace cantorel
