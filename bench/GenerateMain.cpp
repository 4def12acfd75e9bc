// velkmerge-generate: writes a generated database and input file for timing merges.
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "CallFileGenerator.h"

namespace {

constexpr std::string_view usage =
    "usage: velkmerge-generate --database OUT1 --input OUT2 [--lines N] [--layout 0|1|2]\n"
    "                          [--share S] [--repeats R] [--shape SHAPE] [--odd O] [--seed X]\n"
    "Writes a database (layout 0, CR LF) and an input list (layout L, LF) of N lines each;\n"
    "share S (default 0.5) of the input's calls are in the database, R (default 0.01) of its\n"
    "lines repeat a call. SHAPE: standard (default), updates (most known calls lack a field the\n"
    "input has), new (no call known), same (the input is the database), long (long station texts,\n"
    "many names outside ASCII). O (default 0): share of odd lines, as hand-edited files have.\n"
    "The same options always give the same bytes.\n";

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::cerr << "velkmerge-generate: cannot write " << path << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    GeneratorOptions options;
    std::string databasePath;
    std::string inputPath;
    try {
        for (int i = 1; i < argc; ++i) {
            const std::string_view arg = argv[i];
            if (arg == "-h" || arg == "--help") {
                std::cout << usage;
                return 0;
            }
            if (i + 1 >= argc) {
                std::cerr << "velkmerge-generate: " << arg << " needs a value\n" << usage;
                return 2;
            }
            const std::string value = argv[++i];
            // std::stoul and friends accept trailing junk; a typo must not silently change the case.
            std::size_t used = 0;
            if (arg == "--lines") {
                options.lines = std::stoull(value, &used);
            } else if (arg == "--layout") {
                options.layout = std::stoi(value, &used);
            } else if (arg == "--share") {
                options.share = std::stod(value, &used);
            } else if (arg == "--repeats") {
                options.repeats = std::stod(value, &used);
            } else if (arg == "--shape") {
                const std::optional<FileShape> shape = shapeNamed(value);
                if (!shape) {
                    std::cerr << "velkmerge-generate: no shape " << value << "\n" << usage;
                    return 2;
                }
                options.shape = *shape;
                used = value.size();
            } else if (arg == "--odd") {
                options.oddLines = std::stod(value, &used);
            } else if (arg == "--seed") {
                options.seed = std::stoull(value, &used);
            } else if (arg == "--database") {
                databasePath = value;
                used = value.size();
            } else if (arg == "--input") {
                inputPath = value;
                used = value.size();
            } else {
                std::cerr << "velkmerge-generate: unknown option " << arg << "\n" << usage;
                return 2;
            }
            if (used != value.size()) {
                std::cerr << "velkmerge-generate: bad value for " << arg << ": " << value << "\n";
                return 2;
            }
        }
        if (databasePath.empty() || inputPath.empty()) {
            std::cerr << usage;
            return 2;
        }
        const GeneratedFiles files = CallFileGenerator(options).generate();
        return writeFile(databasePath, files.database) && writeFile(inputPath, files.input) ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "velkmerge-generate: " << e.what() << "\n";
        return 2;
    }
}
