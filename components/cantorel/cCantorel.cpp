#include "components/cantorel/cCantorel.h"

#include "components/cantorel/ScoreCompiler.h"
#include "components/cantorel/ScoreTables.h"
#include "components/common/ComponentError.h"
#include "common/SafeFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
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
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status))
        raiseFileError(cantorel::kErrFileNotFound);
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(status))
        raiseFileError(cantorel::kErrFileAccess);
    // Refused before it is read: a score past the compiler's own bound on
    // the text it compiles cannot be one.
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > cantorel::ScoreCompiler::kMaxSourceBytes)
        raiseFileError(cantorel::kErrFileAccess);
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
        raiseFileError(cantorel::kErrFileAccess);
    return text.str();
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
    if (!vx::writeFileAtomically(ObjectFile, {reinterpret_cast<const char *>(bytes.data()), bytes.size()}))
        raiseFileError(cantorel::kErrFileAccess);
}

bool cCantorel::CompileMeasure(const std::string &Measure)
{
    return mCompiler->compileMeasure(Measure);
}
