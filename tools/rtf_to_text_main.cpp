// rtf-to-text FILE: prints the text the trainer would play from FILE, loaded as the library loads
// it (RTF, plain text in any encoding it recognises), as UTF-8 with one line per paragraph.
// Exit status: 0 printed; 1 the file cannot be loaded (the reason goes to stderr); 2 wrong use,
// or a web page, whose text only the window's renderer can produce.
#include "documents/text_decoder.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: rtf-to-text FILE\n";
        return 2;
    }
    const textfile::LoadResult loaded = textfile::load(argv[1]);
    if (!loaded.ok) {
        std::cerr << loaded.error << '\n';
        return 1;
    }
    switch (loaded.kind) {
    case textfile::LoadResult::Kind::Rich:
        std::cout << loaded.document.plainText("\n") << '\n';
        return 0;
    case textfile::LoadResult::Kind::Plain:
        std::cout << loaded.text << '\n';
        return 0;
    case textfile::LoadResult::Kind::Html:
        std::cerr << argv[1] << ": a web page; its text comes from the window's renderer\n";
        return 2;
    }
    return 2;
}
