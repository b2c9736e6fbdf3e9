#include "documents/text_decoder.h"

#include "core/utf8.h"
#include "documents/code_pages.h"
#include "documents/rtf_reader.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <uchardet/uchardet.h>

namespace textfile {

namespace {

constexpr std::string_view kOle2Signature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr std::string_view kRtfStart = "{\\rtf";

LoadResult refused(std::string reason) {
    LoadResult result;
    result.error = std::move(reason);
    return result;
}

bool isHtmlName(std::string_view fileName) {
    std::string extension = std::filesystem::path(fileName).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".htm" || extension == ".html";
}

std::string fromUtf16(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    char32_t high = 0;
    for (std::size_t pos = 0; pos + 1 < bytes.size(); pos += 2) {
        const auto first = static_cast<unsigned char>(bytes[pos]);
        const auto second = static_cast<unsigned char>(bytes[pos + 1]);
        const char32_t unit = bigEndian ? (first << 8 | second) : (second << 8 | first);
        const bool low = utf16::isLowSurrogate(unit);
        if (high != 0 && !low)
            utf8::append(out, utf8::kReplacement);
        if (utf16::isHighSurrogate(unit)) {
            high = unit;
            continue;
        }
        if (low) {
            utf8::append(out, high == 0 ? utf8::kReplacement : utf16::combine(high, unit));
        } else if (unit != 0) { // a NUL would end the text early in the box
            utf8::append(out, unit);
        }
        high = 0;
    }
    if (high != 0)
        utf8::append(out, utf8::kReplacement);
    return out;
}

// Text that claims to be UTF-8 (it has the byte order mark) keeps its valid characters; each byte
// of a broken sequence becomes U+FFFD.
std::string repairedUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) {
        const utf8::Decoded decoded = utf8::decode(bytes, pos);
        if (decoded.valid)
            out.append(bytes.substr(pos, decoded.length));
        else
            utf8::append(out, utf8::kReplacement);
        pos += decoded.length;
    }
    return out;
}

// Fewer bytes outside ASCII than this are too little for the detector, which then guesses wildly
// (a lone "\xEF" of "naïve" as a Czech "ď"); old texts with a few accents are Western far more
// often than not.
constexpr std::size_t kEnoughForDetection = 8;

// The encoding of text that is not UTF-8: what the detector finds, Windows-1252 where it finds
// nothing or too little to go on. ISO-8859-1 reads as 1252, which agrees with it on every letter
// and has quotes and dashes where Latin-1 has invisible controls.
std::string encodingOf(std::string_view bytes) {
    const auto outside = std::count_if(bytes.begin(), bytes.end(), [](char byte) {
        return static_cast<unsigned char>(byte) >= 0x80;
    });
    std::string found;
    if (static_cast<std::size_t>(outside) >= kEnoughForDetection) {
        const std::unique_ptr<uchardet, void (*)(uchardet_t)> detector(uchardet_new(),
                                                                       &uchardet_delete);
        if (detector && uchardet_handle_data(detector.get(), bytes.data(), bytes.size()) == 0) {
            uchardet_data_end(detector.get());
            found = uchardet_get_charset(detector.get());
        }
    }
    if (found.empty() || found == "UTF-8" || found == "ASCII" || found == "ISO-8859-1")
        return codepage::iconvName(codepage::kWestern);
    return found;
}

std::string fromLegacyEncoding(std::string_view bytes) {
    return codepage::Decoder(encodingOf(bytes)).toUtf8(bytes);
}

std::string withNewlines(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if (text[pos] != '\r') {
            out += text[pos];
            continue;
        }
        out += '\n';
        if (pos + 1 < text.size() && text[pos + 1] == '\n')
            ++pos;
    }
    return out;
}

LoadResult textResult(std::string_view text, std::string_view fileName) {
    LoadResult result;
    result.ok = true;
    if (isHtmlName(fileName)) {
        result.kind = LoadResult::Kind::Html;
        result.text = text;
    } else {
        result.kind = LoadResult::Kind::Plain;
        result.text = withNewlines(text);
    }
    return result;
}

// Reads errno before building the message, whose allocations may change it.
LoadResult refusedBySystem(const std::string& path) {
    const int error = errno;
    return refused(path + ": " + std::strerror(error));
}

} // namespace

LoadResult decode(std::string_view bytes, std::string_view fileName) {
    if (bytes.size() > kMaxBytes)
        return refused("larger than 32 MiB");
    if (bytes.starts_with(kOle2Signature))
        return refused("a Word 97-2003 document or another OLE2 compound file, not text");
    if (bytes.starts_with(kUtf16LeMark))
        return textResult(fromUtf16(bytes.substr(kUtf16LeMark.size()), false), fileName);
    if (bytes.starts_with(kUtf16BeMark))
        return textResult(fromUtf16(bytes.substr(kUtf16BeMark.size()), true), fileName);
    const bool markedUtf8 = bytes.starts_with(kUtf8Mark);
    if (markedUtf8)
        bytes.remove_prefix(kUtf8Mark.size());
    if (bytes.starts_with(kRtfStart)) {
        LoadResult result;
        result.ok = true;
        result.kind = LoadResult::Kind::Rich;
        result.document = rtf::read(bytes);
        return result;
    }
    if (bytes.find('\0') != std::string_view::npos)
        return refused("a binary file (it holds NUL bytes), not text");
    if (markedUtf8)
        return textResult(repairedUtf8(bytes), fileName);
    return textResult(utf8::isValid(bytes) ? std::string(bytes) : fromLegacyEncoding(bytes),
                      fileName);
}

LoadResult load(const std::string& path) {
    namespace fs = std::filesystem;
    try {
        std::error_code error;
        const fs::file_status status = fs::status(path, error);
        if (status.type() == fs::file_type::not_found)
            return refused(path + ": no such file");
        if (error)
            return refused(path + ": " + error.message());
        if (fs::is_directory(status))
            return refused(path + ": a folder, not a file");
        if (!fs::is_regular_file(status))
            return refused(path + ": not a regular file");
        std::error_code sizeError;
        const std::uintmax_t size = fs::file_size(path, sizeError);
        if (!sizeError && size > kMaxBytes)
            return refused(path + ": larger than 32 MiB");
        const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                                   &std::fclose);
        if (!file)
            return refusedBySystem(path);
        std::string bytes;
        bytes.reserve(sizeError ? 0 : size);
        // Reading stops once past the limit, which also refuses a file that has grown since.
        char chunk[1 << 16];
        std::size_t length = 0;
        while (bytes.size() <= kMaxBytes &&
               (length = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
            bytes.append(chunk, length);
        if (std::ferror(file.get()))
            return refusedBySystem(path);
        LoadResult result = decode(bytes, fs::path(path).filename().string());
        if (!result.ok)
            result.error = path + ": " + result.error;
        return result;
    } catch (const std::exception& failure) { // out of memory, a path the system rejects
        return refused(path + ": " + failure.what());
    }
}

} // namespace textfile
