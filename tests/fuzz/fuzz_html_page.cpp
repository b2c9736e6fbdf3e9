// Feeds arbitrary bytes to the preparation of web pages and then to the box's page reader, and
// checks what the preparation promises: a rendered page is within the limits and reaches the
// reader without a single picture; a page's text is valid UTF-8 when the page was.
#include "core/utf8.h"
#include "documents/html_page.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int argc = 1;
    static char* argv[] = {const_cast<char*>("fuzz"), nullptr};
    static QGuiApplication app((qputenv("QT_QPA_PLATFORM", "offscreen"), argc), argv);
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const htmlpage::Prepared page = htmlpage::prepare(bytes);
    if (!page.rendered)
        return utf8::isValid(bytes) && !utf8::isValid(page.content) ? (std::abort(), 0) : 0;
    if (!htmlpage::renderable(htmlpage::measure(bytes)))
        std::abort();
    QTextDocument document;
    document.setHtml(QString::fromStdString(page.content));
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                std::abort();
    return 0;
}
