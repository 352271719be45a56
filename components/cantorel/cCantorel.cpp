#include "components/cantorel/cCantorel.h"

#include "components/cantorel/ScoreCompiler.h"
#include "components/cantorel/ScoreTables.h"
#include "components/common/ComponentError.h"
#include "common/ReadFiles.h"
#include "common/SafeFile.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace {

const char *const kSource = "CantorelLib.CompileFile";

// A file that cannot be read or written fails like any statement would, with
// the plain run-time error number, not a score error.
[[noreturn]] void raiseFileError(int code)
{
    throw vx::ComponentError(vx::ComponentError::RunTimeError, code, kSource, cantorel::errorMessage(code));
}

std::string readSource(const std::string &path)
{
    // Refused before it is read: a score past the compiler's own bound on
    // the text it compiles cannot be one.
    std::string text;
    switch (vx::readRegularFile(path, text, cantorel::ScoreCompiler::kMaxSourceBytes)) {
    case 0:
        return text;
    case ENOENT:
    case ENOTDIR:
        raiseFileError(cantorel::kErrFileNotFound);
    case EFBIG:
        raiseFileError(cantorel::kErrOverflow);
    default: // a folder, a pipe or a device, no permission, a failed read
        raiseFileError(cantorel::kErrFileAccess);
    }
}

} // namespace

cCantorel::cCantorel() : mCompiler(std::make_unique<cantorel::ScoreCompiler>()) {}

cCantorel::~cCantorel() = default;

void cCantorel::CompileFile(const std::string &SourceFile, const std::string &ObjectFile, int &ErrLineNum,
                            bool blnSilent)
{
    const std::vector<std::string> lines = cantorel::splitLines(readSource(SourceFile));
    if (lines.empty())
        return;

    if (!mCompiler->compileScore(lines)) {
        // A stale object file from an earlier compile must not pass for this
        // one; a folder of that name is not one and stays.
        std::error_code ignored;
        if (!std::filesystem::is_directory(std::filesystem::symlink_status(ObjectFile, ignored)))
            std::filesystem::remove(ObjectFile, ignored);
        ErrLineNum = mCompiler->errorLine();
        if (!blnSilent)
            throw vx::ComponentError(mCompiler->errorCode(), kSource,
                                     mCompiler->errorMessage() + " in line " + std::to_string(ErrLineNum));
        return;
    }
    const std::vector<std::uint8_t> &bytes = mCompiler->bytes();
    std::string cause;
    if (!vx::writeFileAtomically(ObjectFile, {reinterpret_cast<const char *>(bytes.data()), bytes.size()}, &cause))
        throw vx::ComponentError(vx::ComponentError::RunTimeError, cantorel::kErrFileAccess, kSource,
                                 vx::fileErrorText("Cannot write", ObjectFile, cause));
}

bool cCantorel::CompileMeasure(const std::string &Measure)
{
    return mCompiler->compileMeasure(Measure);
}
