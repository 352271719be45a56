// Compiles the largest dictionary the format allows (2000 source lines, the
// last ";" at index offset 32767) and prints how long a compile takes.
#include "components/lexmold/cLexmold.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char *const kPhonemes[] = {"AA", "AE", "AH", "AO", "EH", "EY", "IH", "IY", "OW", "UW", "SH", "TH", "DH", "ER"};

// One rule of the indexed section with a match of two to four letters and
// a few phonemes, spread over the letter groups.
std::string indexedRule(int i)
{
    std::string match(1, static_cast<char>('A' + i % 26));
    for (int k = 0; k < 1 + i % 3; ++k)
        match += static_cast<char>('A' + (i / 26 + k * 7) % 26);
    std::string out = kPhonemes[i % 14];
    out += ' ';
    out += kPhonemes[(i / 3) % 14];
    if (i % 5 == 0)
        out += " S";
    const char *left = (i % 4 == 0) ? "#" : "";
    const char *right = (i % 3 == 0) ? "^" : "";
    return std::string(left) + "(" + match + ")" + right + "=" + out;
}

void writeSource(const fs::path &path, int padding)
{
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < 1996; ++i)
        out << indexedRule(i) << "\r\n";
    out << "c\r\n";
    out << "(OUGH)=AO F\r\n";
    out << "()=EY\r\n";
    // The last rule's right context is not interpreted: it pads the
    // dictionary to the largest offset.
    out << "(Z)" << std::string(static_cast<std::size_t>(padding), 'X') << "=ZH\r\n";
}

} // namespace

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    const fs::path dir = fs::temp_directory_path() / "lexmold-bench";
    fs::create_directories(dir);
    const fs::path src = dir / "largest.dic";
    const fs::path obj = dir / "largest.dix";

    cLexmold lex;
    writeSource(src, 1);
    if (lex.CompileFile(src, 1, obj, true) != 0) {
        std::fprintf(stderr, "generated source does not compile\n");
        return 1;
    }
    const auto lastOffset = static_cast<long>(fs::file_size(obj)) - 27;
    writeSource(src, static_cast<int>(1 + 32767 - lastOffset));
    if (lex.CompileFile(src, 1, obj, true) != 0 || fs::file_size(obj) != 32767u + 27u) {
        std::fprintf(stderr, "could not reach the largest size\n");
        return 1;
    }

    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        lex.CompileFile(src, 1, obj, true);
        const auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    std::printf("lexmold: largest dictionary (2000 lines, %ju bytes): best %.3f ms, median %.3f ms, mean %.3f ms over %d runs\n",
                static_cast<std::uintmax_t>(fs::file_size(obj)), ms.front(), ms[ms.size() / 2], sum / runs, runs);
    fs::remove_all(dir);
    return 0;
}
