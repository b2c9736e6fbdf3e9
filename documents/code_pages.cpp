#include "documents/code_pages.h"

#include "core/utf8.h"

#include <cerrno>
#include <iconv.h>
#include <unordered_map>
#include <utility>

namespace codepage {

namespace {

// single_ entries not worked out yet, and bytes that open a longer character.
constexpr char32_t kUnseen = 0x110000;
constexpr char32_t kOpens = 0x110001;

// The longest character of any code page iconv knows (GB 18030) has four bytes.
constexpr std::size_t kLongestCharacter = 4;

const auto kFailed = reinterpret_cast<iconv_t>(-1);
constexpr auto kError = static_cast<std::size_t>(-1);

iconv_t open(const std::string& name) {
    const iconv_t handle = iconv_open("UTF-32LE", name.c_str());
    return handle != kFailed ? handle : iconv_open("UTF-32LE", iconvName(kWestern).c_str());
}

iconv_t handleOf(void* handle) {
    return static_cast<iconv_t>(handle);
}

void appendUtf32(std::u32string& out, const char* begin, const char* end) {
    for (const char* unit = begin; unit + 4 <= end; unit += 4) {
        char32_t value = 0;
        for (int byte = 3; byte >= 0; --byte)
            value = value << 8 | static_cast<unsigned char>(unit[byte]);
        out += value;
    }
}

} // namespace

int forCharset(int charset) {
    // clang-format off
    static const std::unordered_map<int, int> pages{
        {77, 10000}, {78, 10001}, {79, 10003}, {80, 10008}, {81, 10002}, {88, 10029},
        {89, 10007}, {128, 932},  {129, 949},  {130, 1361}, {134, 936},  {136, 950},
        {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257},
        {204, 1251}, {222, 874},  {238, 1250}, {254, 437},  {255, 850},
    };
    // clang-format on
    const auto found = pages.find(charset);
    return found == pages.end() ? 0 : found->second;
}

std::string iconvName(int page) {
    // Pages iconv calls by another name; the Mac pages of East Asia are their Windows relatives.
    // clang-format off
    static const std::unordered_map<int, std::string> names{
        {10000, "MACINTOSH"}, {10001, "SHIFT_JIS"}, {10002, "BIG5"}, {10003, "EUC-KR"},
        {10008, "EUC-CN"}, {10029, "MAC-CENTRALEUROPE"}, {10079, "MAC-IS"}, {20866, "KOI8-R"},
        {21866, "KOI8-U"}, {20932, "EUC-JP"}, {51932, "EUC-JP"}, {51936, "EUC-CN"},
        {51949, "EUC-KR"}, {54936, "GB18030"}, {65001, "UTF-8"},
    };
    // clang-format on
    if (const auto found = names.find(page); found != names.end())
        return found->second;
    if (page >= 28591 && page <= 28606)
        return "ISO-8859-" + std::to_string(page - 28590);
    return "CP" + std::to_string(page);
}

Decoder::Decoder(int page) : Decoder(iconvName(page)) {}

Decoder::Decoder(const std::string& name) : handle_(open(name)) {
    single_.fill(kUnseen);
}

Decoder::~Decoder() {
    if (handle_ != nullptr)
        iconv_close(handleOf(handle_));
}

Decoder::Decoder(Decoder&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), held_(std::move(other.held_)),
      single_(other.single_) {}

Decoder::Outcome Decoder::convert(std::string_view bytes, std::u32string& out) {
    const iconv_t handle = handleOf(handle_);
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char buffer[64];
    char* written = buffer;
    std::size_t room = sizeof buffer;
    if (iconv(handle, &in, &inLeft, &written, &room) == kError)
        return errno == EINVAL ? Outcome::Open : Outcome::Invalid;
    // Some pages (1255, 1258) hold a letter back until they know no accent follows.
    iconv(handle, nullptr, nullptr, &written, &room);
    appendUtf32(out, buffer, written);
    return Outcome::Character;
}

void Decoder::feed(unsigned char byte, std::u32string& out) {
    if (held_.empty()) {
        char32_t& known = single_[byte];
        if (known == kUnseen) {
            std::u32string alone;
            const char text = static_cast<char>(byte);
            const Outcome outcome = convert({&text, 1}, alone);
            known = outcome == Outcome::Open                           ? kOpens
                    : outcome == Outcome::Invalid || alone.size() != 1 ? utf8::kReplacement
                                                                       : alone[0];
        }
        if (known == kOpens)
            held_ += static_cast<char>(byte);
        else
            out += known;
        return;
    }
    held_ += static_cast<char>(byte);
    const Outcome outcome = convert(held_, out);
    if (outcome == Outcome::Character) {
        held_.clear();
    } else if (outcome == Outcome::Invalid || held_.size() >= kLongestCharacter) {
        // The first byte was not the start of a character after all; the others start afresh.
        const std::string rest = held_.substr(1);
        held_.clear();
        out += utf8::kReplacement;
        for (const char next : rest)
            feed(static_cast<unsigned char>(next), out);
    }
}

void Decoder::finish(std::u32string& out) {
    if (held_.empty())
        return;
    held_.clear();
    out += utf8::kReplacement;
}

std::string Decoder::toUtf8(std::string_view bytes) {
    const iconv_t handle = handleOf(handle_);
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    std::u32string characters;
    const std::string heldByFeed = std::exchange(held_, {});
    char* in = const_cast<char*>(bytes.data());
    char* const end = in + bytes.size();
    char buffer[4096];
    for (;;) {
        char* const from = in;
        char* written = buffer;
        std::size_t room = sizeof buffer;
        std::size_t inLeft = static_cast<std::size_t>(end - in);
        const bool ending = inLeft == 0;
        const std::size_t result = ending ? iconv(handle, nullptr, nullptr, &written, &room)
                                          : iconv(handle, &in, &inLeft, &written, &room);
        const int error = errno;
        characters.clear();
        if (result == kError && error != E2BIG && !ending) {
            // Undefined bytes (EILSEQ), or a character cut off by the end (EINVAL). Some of
            // iconv's pages (CP949 among them) report an undefined sequence only after reading
            // past it, so where it stopped cannot be trusted: what this call read is read again
            // byte by byte, as feed() reads it, and on until a character ends.
            char* const reached = in;
            in = from;
            do
                feed(static_cast<unsigned char>(*in++), characters);
            while (in != end && (in < reached || !held_.empty()));
            if (in == end)
                finish(characters);
            iconv(handle, nullptr, nullptr, nullptr, nullptr);
        } else {
            appendUtf32(characters, buffer, written);
        }
        for (const char32_t character : characters)
            utf8::append(out, character);
        if (ending) {
            held_ = heldByFeed;
            return out;
        }
    }
}

unsigned char toWestern(char32_t character) {
    static const std::unordered_map<char32_t, unsigned char> bytes = [] {
        std::unordered_map<char32_t, unsigned char> table;
        Decoder western(kWestern);
        std::u32string decoded;
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            decoded.clear();
            western.feed(static_cast<unsigned char>(byte), decoded);
            if (decoded.size() == 1 && decoded[0] != utf8::kReplacement)
                table.emplace(decoded[0], static_cast<unsigned char>(byte));
        }
        return table;
    }();
    if (character < 0x80)
        return static_cast<unsigned char>(character);
    const auto found = bytes.find(character);
    return found == bytes.end() ? 0 : found->second;
}

char32_t fromSymbolFont(unsigned char byte) {
    // The Symbol font's characters from 0x20 to 0x7E and from 0xA0 to 0xFE. iconv has no table of
    // its own for this font; this one follows the X11 font encoding file adobe-symbol.enc.
    static constexpr std::u32string_view kLow =
        U" !∀#∃%&∋()∗+,−./0123456789:;<=>?≅ΑΒΧΔΕΦΓΗΙϑΚΛΜΝΟΠΘΡΣΤΥςΩΞΨΖ[∴]⊥_‾"
        U"αβχδεφγηιϕκλμνοπθρστυϖωξψζ{|}∼";
    static constexpr std::u32string_view kHigh =
        U"\uFFFDϒ′≤⁄∞ƒ♣♦♥♠↔←↑→↓°±″≥×∝∂•÷≠≡≈…\uFFFD\uFFFD↵ℵℑℜ℘⊗⊕∅∩∪⊃⊇⊄⊂⊆∈∉∠∇®©™∏√⋅¬∧∨⇔⇐⇑⇒⇓"
        U"◊\u2329®©™∑\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\u232A∫⌠"
        U"\uFFFD⌡\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD";
    static_assert(kLow.size() == 0x7F - 0x20 && kHigh.size() == 0xFF - 0xA0);
    if (byte >= 0x20 && byte < 0x7F)
        return kLow[byte - 0x20u];
    if (byte >= 0xA0 && byte < 0xFF)
        return kHigh[byte - 0xA0u];
    return utf8::kReplacement;
}

} // namespace codepage
