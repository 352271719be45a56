#pragma once

#include "components/cantorel/cCantorel.h"
#include "components/common/ComponentError.h"
#include "tests/support/TestEnv.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace cantoreltest {

using Bytes = std::vector<std::uint8_t>;

inline void writeText(const std::string &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

inline std::optional<Bytes> readBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Header, settings record for volume 255 / tempo 86, and closing bytes.
inline Bytes header() { return {0x0D, 0x0D, 0x18, 0x1E, 0x01, 0x6A}; }
inline Bytes settings(int volume = 255, int tempo = 86)
{
    return {0x00, static_cast<std::uint8_t>(volume), static_cast<std::uint8_t>(tempo & 0xFF),
            static_cast<std::uint8_t>(tempo >> 8)};
}
inline Bytes closing() { return {0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00}; }

inline Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes &p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Outcome of compiling a score text through the component, from a file to a file.
struct Outcome
{
    std::optional<Bytes> object;  // the object file, when one exists
    bool raised = false;
    int code = 0;
    std::int32_t number = 0;
    std::string source;
    std::string description;
    int line = -1;  // ErrLineNum, -1 when untouched
};

inline Outcome compileText(cCantorel &c, const std::string &score, bool silent = false)
{
    const std::string dir = vxtest::freshDir("cantorel");
    const std::string src = dir + "/score.tgn";
    const std::string obj = dir + "/score.tgx";
    writeText(src, score);
    Outcome o;
    try {
        c.CompileFile(src, obj, o.line, silent);
    } catch (const vx::ComponentError &e) {
        o.raised = true;
        o.code = e.code();
        o.number = e.number();
        o.source = e.source();
        o.description = e.description();
    }
    o.object = readBytes(obj);
    return o;
}

inline Outcome compileText(const std::string &score, bool silent = false)
{
    cCantorel c;
    return compileText(c, score, silent);
}

} // namespace cantoreltest
