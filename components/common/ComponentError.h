#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vx {

// Object-error base that numbered component errors are added to.
inline constexpr std::uint32_t kObjectErrorBase = 0x80040000u;

// The one exception type that the component libraries throw for their
// numbered errors. number() is the base plus the code, as a signed 32-bit
// value; code() is the component's own number (1000, 3001, ...).
class ComponentError : public std::runtime_error
{
public:
    ComponentError(int code, std::string source, const std::string &description)
        : std::runtime_error(description), mCode(code), mSource(std::move(source))
    {
    }

    [[nodiscard]] int code() const noexcept { return mCode; }
    [[nodiscard]] std::int32_t number() const noexcept
    {
        return static_cast<std::int32_t>(kObjectErrorBase + static_cast<std::uint32_t>(mCode));
    }
    [[nodiscard]] const std::string &source() const noexcept { return mSource; }
    [[nodiscard]] std::string description() const { return what(); }

private:
    int mCode;
    std::string mSource;
};

} // namespace vx
