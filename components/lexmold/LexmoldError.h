#pragma once

#include "components/common/ComponentError.h"

#include <string>

namespace lexmold {

// A compile that cannot run to its end for a reason other than a bad rule:
// the source or object file cannot be used, or the source is beyond what the
// compiled format can hold. Rule errors are never thrown; CompileFile returns
// their line instead.
// number() is the run-time error number the program shows
// ("Error " & number & ": ").
class LexmoldError : public vx::ComponentError
{
public:
    LexmoldError(int number, const std::string &description)
        : vx::ComponentError(vx::ComponentError::RunTimeError, number, "LexmoldLib.CompileFile", description)
    {
    }
};

// Error numbers, as the program's other run-time errors count them.
inline constexpr int kErrOverflow = 6;
inline constexpr int kErrSubscriptOutOfRange = 9;
inline constexpr int kErrFileNotFound = 53;
inline constexpr int kErrPathFileAccess = 75;

} // namespace lexmold
