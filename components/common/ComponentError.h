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
//
// A component can also fail the way any program statement fails (a file that
// cannot be opened, an overflow); those carry a plain run-time error number
// (53, 75, 6) that number() returns unchanged.
class ComponentError : public std::runtime_error
{
public:
    enum Kind { ObjectError, RunTimeError };

    ComponentError(int code, std::string source, const std::string &description)
        : ComponentError(ObjectError, code, std::move(source), description)
    {
    }
    ComponentError(Kind kind, int code, std::string source, const std::string &description)
        : std::runtime_error(description), mKind(kind), mCode(code), mSource(std::move(source))
    {
    }

    [[nodiscard]] Kind kind() const noexcept { return mKind; }
    [[nodiscard]] int code() const noexcept { return mCode; }
    [[nodiscard]] std::int32_t number() const noexcept
    {
        if (mKind == RunTimeError)
            return mCode;
        return static_cast<std::int32_t>(kObjectErrorBase + static_cast<std::uint32_t>(mCode));
    }
    [[nodiscard]] const std::string &source() const noexcept { return mSource; }
    [[nodiscard]] std::string description() const { return what(); }

private:
    Kind mKind;
    int mCode;
    std::string mSource;
};

// The text of a file that cannot be used: what was done, the file and the
// system's cause, each once: "<what> '<path>': <cause>".
[[nodiscard]] inline std::string fileErrorText(const std::string &what, const std::string &path,
                                               const std::string &cause)
{
    return what + " '" + path + "': " + cause;
}

} // namespace vx
