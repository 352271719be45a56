#pragma once

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace lexmoldtest {

// Bytes from a list of codes, so expectations read like a hex dump.
inline std::string bytes(std::initializer_list<int> codes)
{
    std::string s;
    for (int c : codes)
        s.push_back(static_cast<char>(c));
    return s;
}

inline std::string readFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::filesystem::path &path, const std::string &content)
{
    std::ofstream out(path, std::ios::binary);
    out << content;
}

// Lines joined with CR LF, as the dictionary window writes its rows.
inline std::string source(const std::vector<std::string> &lines)
{
    std::string s;
    for (const auto &line : lines)
        s += line + "\r\n";
    return s;
}

// Index entry k of a compiled dictionary.
inline int indexEntry(const std::string &dix, int k)
{
    const auto lo = static_cast<unsigned char>(dix.at(20 + 2 * k));
    const auto hi = static_cast<unsigned char>(dix.at(21 + 2 * k));
    return static_cast<short>(lo | (hi << 8));
}

inline int flagsWord(const std::string &dix)
{
    return static_cast<unsigned char>(dix.at(18)) | (static_cast<unsigned char>(dix.at(19)) << 8);
}

// The bytes that index entry k points past (its ";" is at 20 + entry).
inline std::string at(const std::string &dix, int k, std::size_t count)
{
    return dix.substr(static_cast<std::size_t>(20 + indexEntry(dix, k) + 1), count);
}

using Messages = std::vector<std::pair<std::string, std::string>>;

} // namespace lexmoldtest
