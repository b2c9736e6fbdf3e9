// Feeds arbitrary bytes to the file decoder, as a plain file and as a web page: it returns, and a
// file it accepts decodes to valid UTF-8.
#include "core/utf8.h"
#include "documents/text_decoder.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void check(std::string_view bytes, std::string_view fileName) {
    const textfile::LoadResult result = textfile::decode(bytes, fileName);
    if (result.ok == !result.error.empty())
        std::abort();
    const std::string text =
        result.kind == textfile::LoadResult::Kind::Rich ? result.document.plainText() : result.text;
    if (!utf8::isValid(text))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    check(bytes, "nota.txt");
    check(bytes, "page.html");
    return 0;
}
