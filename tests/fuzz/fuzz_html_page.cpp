// Feeds arbitrary bytes to the preparation of web pages and then to the box's own page reader,
// checking what the preparation promises: it returns, what it renders is within the limits and
// reaches the reader without a single picture, and a page's text is valid UTF-8 for valid input.
#include "core/utf8.h"
#include "documents/html_page.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <QTextFormat>
#include <QTextFragment>
#include <QTextFrame>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_html_page";
    static char* argv[] = {name, nullptr};
    static const bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    (void)offscreen;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const htmlpage::Prepared page = htmlpage::prepare(bytes);
    if (!page.rendered) {
        if (utf8::isValid(bytes) && !utf8::isValid(page.content))
            std::abort();
        return 0;
    }
    if (!htmlpage::renderable(htmlpage::measure(bytes)))
        std::abort();
    QTextDocument document;
    document.setHtml(
        QString::fromUtf8(page.content.data(), static_cast<qsizetype>(page.content.size())));
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                std::abort();
    return 0;
}
