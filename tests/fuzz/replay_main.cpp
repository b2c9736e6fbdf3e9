// Without libFuzzer (a g++ build), a fuzz target becomes a program that runs every file of the
// folders it is given through LLVMFuzzerTestOneInput once: the saved corpus, with the inputs that
// once found faults, is replayed by every test run. (One input alone: the libFuzzer build.)
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
    int replayed = 0;
    for (int i = 1; i < argc; ++i)
        for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[i]))
            if (entry.is_regular_file()) {
                replay(entry.path());
                ++replayed;
            }
    std::printf("%d inputs replayed\n", replayed);
    // An empty corpus would make the test pass without testing anything.
    return replayed > 0 ? 0 : 1;
}
