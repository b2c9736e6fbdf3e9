// Without libFuzzer (a g++ build), a fuzz target becomes a program that runs every file of the
// folders or files it is given through LLVMFuzzerTestOneInput once: the saved corpus, with the
// inputs that once found faults, is replayed by every test run.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

} // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const fs::path argument(argv[i]);
        if (!fs::is_directory(argument)) {
            replay(argument);
            ++replayed;
            continue;
        }
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(argument))
            if (entry.is_regular_file()) {
                replay(entry.path());
                ++replayed;
            }
    }
    std::printf("%d inputs replayed\n", replayed);
    // An empty corpus would make the test pass without testing anything.
    return replayed > 0 ? 0 : 1;
}
