// Runs a fuzz target over kept inputs without libFuzzer, so every build (gcc
// too) replays the seed corpus and the regressions as an ordinary test.
// Arguments are files or folders; without any, the target's own folders.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

namespace fs = std::filesystem;

int main(int argc, char **argv)
{
    std::vector<std::string> roots(argv + 1, argv + argc);
#if defined(TVX_FUZZ_CORPUS) && defined(TVX_FUZZ_REGRESSIONS)
    if (roots.empty())
        roots = {TVX_FUZZ_CORPUS, TVX_FUZZ_REGRESSIONS};
#endif
    std::vector<fs::path> inputs;
    for (const std::string &root : roots) {
        std::error_code error;
        if (fs::is_directory(root, error)) {
            for (const auto &entry : fs::recursive_directory_iterator(root, error))
                if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
                    inputs.push_back(entry.path());
        } else if (fs::is_regular_file(root, error)) {
            inputs.push_back(root);
        } else if (argc > 1) {
            std::fprintf(stderr, "no such input: %s\n", root.c_str());
            return 2;
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 2;
    }
    std::sort(inputs.begin(), inputs.end());

    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    for (const fs::path &path : inputs) {
        // the name first: a crash's report then follows the input that caused it
        std::printf("%s\n", path.c_str());
        std::fflush(stdout);
        std::ifstream file(path, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
