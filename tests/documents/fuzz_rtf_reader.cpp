// Feeds arbitrary bytes to the RTF reader and checks what it promises for any input: it returns,
// and its plain text is valid UTF-8 that survives a write and a second read unchanged.
#include "core/utf8.h"
#include "documents/rtf_reader.h"
#include "documents/rtf_writer.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const rich::RichDocument document = rtf::read({reinterpret_cast<const char*>(data), size});
    const std::string text = document.plainText();
    if (!utf8::isValid(text) || rtf::read(rtf::write(document)).plainText() != text)
        std::abort();
    return 0;
}
