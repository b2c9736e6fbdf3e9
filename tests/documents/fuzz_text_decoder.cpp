// Feeds arbitrary bytes to the file decoder, as a plain file and as a web page: it returns, gives
// a reason exactly when it refuses, and a file it accepts decodes to valid UTF-8.
#include "core/utf8.h"
#include "documents/text_decoder.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const char* name : {"nota.txt", "page.html"}) {
        const auto result = textfile::decode({reinterpret_cast<const char*>(data), size}, name);
        const bool rich = result.kind == textfile::LoadResult::Kind::Rich;
        if (result.ok == !result.error.empty() ||
            !utf8::isValid(rich ? result.document.plainText() : result.text))
            std::abort();
    }
    return 0;
}
