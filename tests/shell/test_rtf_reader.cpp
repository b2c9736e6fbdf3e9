#include "shell/rtf_reader.h"

#include <QTest>

namespace {

rich::RichDocument read(const QByteArray& bytes) {
    return rtf::read(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

QString plainText(const QByteArray& bytes) {
    return QString::fromStdString(read(bytes).plainText());
}

QByteArray document(const QByteArray& body) {
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}" + body +
           "}";
}

// A run as "text" followed by its formatting: b, i, u, the font family, the size in points and
// the colour, for example "bold|b Arial 12 #ff0000".
QString describe(const rich::Run& run) {
    const rich::CharFormat& f = run.format;
    QStringList parts;
    if (f.bold)
        parts << QStringLiteral("b");
    if (f.italic)
        parts << QStringLiteral("i");
    if (f.underline)
        parts << QStringLiteral("u");
    parts << QString::fromStdString(f.fontFamily) << QString::number(f.pointSize);
    parts << (f.colour.automatic ? QStringLiteral("auto")
                                 : QStringLiteral("#%1%2%3")
                                       .arg(f.colour.red, 2, 16, QLatin1Char('0'))
                                       .arg(f.colour.green, 2, 16, QLatin1Char('0'))
                                       .arg(f.colour.blue, 2, 16, QLatin1Char('0')));
    return QString::fromStdString(run.text) + QLatin1Char('|') + parts.join(QLatin1Char(' '));
}

QStringList describe(const rich::RichDocument& doc) {
    QStringList runs;
    for (const rich::Paragraph& paragraph : doc.paragraphs) {
        for (const rich::Run& run : paragraph.runs)
            runs << describe(run);
        runs << QStringLiteral("<par>");
    }
    return runs;
}

QByteArray repeated(const QByteArray& piece, int times) {
    return piece.repeated(times);
}

} // namespace

class RtfReaderTest : public QObject {
    Q_OBJECT
private slots:
    void text_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");

        // Paragraphs and breaks.
        QTest::newRow("paragraphs") << document("one\\par two") << "one\r\ntwo";
        QTest::newRow("closing par adds no line") << document("one\\par") << "one";
        QTest::newRow("empty paragraphs kept")
            << document("a\\par\\par\\par b\\par") << "a\r\n\r\n\r\nb";
        QTest::newRow("empty document") << QByteArray("{\\rtf1}") << "";
        QTest::newRow("only a par") << document("\\par") << "";
        QTest::newRow("line break") << document("a\\line b") << "a\r\nb";
        QTest::newRow("tab") << document("a\\tab b") << "a\tb";
        QTest::newRow("literal tab") << document("a\tb") << "a\tb";
        QTest::newRow("source line ends ignored") << document("a\r\nb\nc\rd") << "abcd";
        QTest::newRow("backslash before line feed is a par") << document("a\\\nb") << "a\r\nb";
        QTest::newRow("backslash before carriage return is a par")
            << document("a\\\rb") << "a\r\nb";
        QTest::newRow("control characters dropped") << document("a\x0c"
                                                                "b\x01"
                                                                "c\x7f")
                                                    << "abc";
        QTest::newRow("control characters as escapes dropped")
            << document("\\uc0 a\\'0cb\\u1 c\\u13 d") << "abcd";
        QTest::newRow("section ends a paragraph") << document("a\\sect b") << "a\r\nb";
        QTest::newRow("page break between words") << document("a\\page b") << "a\r\nb";
        QTest::newRow("page break after par adds no line")
            << document("a\\par\\page b") << "a\r\nb";

        // Control words and symbols.
        QTest::newRow("space after control word is its end") << document("\\b  two") << " two";
        QTest::newRow("digit ends parameter") << document("\\fs24x") << "x";
        QTest::newRow("escaped metacharacters") << document("\\\\ \\{ \\}") << "\\ { }";
        QTest::newRow("special symbols")
            << document("\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet")
            << "—–‘’“”•";
        QTest::newRow("no-break space plays as a blank") << document("20\\~WPM") << "20 WPM";
        QTest::newRow("no-break hyphen") << document("DL\\_1") << "DL‑1";
        QTest::newRow("soft hyphen dropped") << document("Mor\\-se") << "Morse";
        QTest::newRow("unknown word ignored") << document("a\\foo b") << "ab";
        QTest::newRow("unknown word with parameter") << document("a\\foo-12 b") << "ab";
        QTest::newRow("unknown symbol ignored") << document("a\\|b\\:c\\ d") << "abcd";

        // Destinations.
        QTest::newRow("starred unknown group hidden")
            << document("a{\\*\\foo hidden {x}}b") << "ab";
        QTest::newRow("unknown group shows text") << document("a{\\foo shown}b") << "ashownb";
        QTest::newRow("par in hidden group ends nothing") << document("a{\\*\\x \\par}b") << "ab";
        QTest::newRow("colour table not text")
            << document("{\\colortbl;\\red1\\green2\\blue3;}x") << "x";
        QTest::newRow("style sheet not text") << document("{\\stylesheet{\\s0 Normal;}}x") << "x";
        QTest::newRow("info not text") << document("{\\info{\\title T}{\\author A}}x") << "x";
        QTest::newRow("header and footer not text")
            << document("{\\header H}{\\footerl F}x") << "x";
        QTest::newRow("footnote not text") << document("word{\\footnote note}.") << "word.";
        QTest::newRow("picture hex not text") << document("{\\pict\\pngblip 89504e47}x") << "x";
        QTest::newRow("binary picture not text")
            << document(QByteArray("{\\pict\\bin4 \\{}a}x")) << "x";
        QTest::newRow("object not text")
            << document("{\\object{\\*\\objdata 0102}{\\result R}}x") << "x";
        QTest::newRow("field shows its result")
            << document("{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt link}}") << "link";
        QTest::newRow("field instruction without star hidden")
            << document("{\\field{\\fldinst PAGE}{\\fldrslt 7}}") << "7";
        QTest::newRow("list text kept") << document("{\\listtext 1.\\tab}Item") << "1.\tItem";
        QTest::newRow("old list text kept") << document("{\\pntext\\f0 2)\\tab}Item") << "2)\tItem";
        QTest::newRow("unicode alternative") << document("{\\upr{ansi}{\\*\\ud{uni}}}") << "uni";
        QTest::newRow("font table with name escapes")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0 Caf\\'e9;}}x}") << "x";

        // Tables.
        QTest::newRow("cells are paragraphs")
            << document("a\\cell b\\cell\\row c") << "a\r\nb\r\nc";
        QTest::newRow("empty cell kept") << document("a\\cell\\cell b\\cell\\row") << "a\r\n\r\nb";
        QTest::newRow("nested cells")
            << document(
                   "x\\par in1\\nestcell "
                   "in2\\nestcell{\\*\\nesttableprops\\nestrow}{\\nonesttables\\par}y\\cell\\row")
            << "x\r\nin1\r\nin2\r\ny";

        // Code pages.
        QTest::newRow("1252 hex") << document("caf\\'e9 \\'80") << "café €";
        QTest::newRow("1252 hex upper case") << document("\\'C9") << "É";
        QTest::newRow("1252 raw byte") << document("caf\xe9") << "café";
        QTest::newRow("1252 undefined byte") << document("\\'81") << "\uFFFD";
        QTest::newRow("1250") << QByteArray("{\\rtf1\\ansi\\ansicpg1250 \\'8a\\'b9}") << "Šą";
        QTest::newRow("1251") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'c0\\'e1}") << "Аб";
        QTest::newRow("1253") << QByteArray("{\\rtf1\\ansi\\ansicpg1253 \\'e1\\'c9}") << "αΙ";
        QTest::newRow("1254") << QByteArray("{\\rtf1\\ansi\\ansicpg1254 \\'fd\\'f0}") << "ığ";
        QTest::newRow("1257") << QByteArray("{\\rtf1\\ansi\\ansicpg1257 \\'e0\\'fe}") << "ąž";
        QTest::newRow("874") << QByteArray("{\\rtf1\\ansi\\ansicpg874 \\'a1\\'d2}") << "กา";
        QTest::newRow("double-byte page gives replacements")
            << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0}") << "\uFFFD\uFFFD";
        QTest::newRow("Mac page reads as 1252") << QByteArray("{\\rtf1\\mac \\'e9}") << "é";
        QTest::newRow("font charset overrides document page")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 A;}{\\f1\\fcharset204 B;}}"
                          "\\'c0{\\f1\\'c0}\\'c0}")
            << "ÀАÀ";
        QTest::newRow("charset 0 follows document page")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset0 A;}}\\f0\\'c0}")
            << "А";
        QTest::newRow("default font charset applies")
            << QByteArray("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f1\\fcharset161 G;}}\\'e1}") << "α";
        QTest::newRow("Greek font without groups")
            << QByteArray("{\\rtf1{\\fonttbl\\f0\\fcharset0 A;\\f1\\fcharset161 G;}\\f1\\'e1}")
            << "α";

        // Unicode.
        QTest::newRow("unicode with fallback") << document("caf\\u233?s") << "cafés";
        QTest::newRow("unicode negative") << document("\\u-255?") << "！";
        QTest::newRow("surrogate pair") << document("\\u-10179?\\u-8704?") << "😀";
        QTest::newRow("surrogate pair positive") << document("\\u55357?\\u56832?") << "😀";
        QTest::newRow("lone high surrogate") << document("\\u55357?x") << "\uFFFDx";
        QTest::newRow("lone high surrogate at paragraph end")
            << document("\\u55357?\\par x") << "\uFFFD\r\nx";
        QTest::newRow("lone low surrogate") << document("x\\u56832?") << "x\uFFFD";
        QTest::newRow("value past Unicode") << document("\\u2000000000?x") << "\uFFFDx";
        QTest::newRow("plane 1 value as it stands") << document("\\u119070?") << "𝄞";
        QTest::newRow("uc0 has no fallback") << document("\\uc0\\u8364 y") << "€y";
        QTest::newRow("uc2 drops two") << document("\\uc2\\u8364??x") << "€x";
        QTest::newRow("uc is scoped to its group")
            << document("{\\uc3\\u8364abcz}\\u8364?w") << "€z€w";
        QTest::newRow("hex escape counts one") << document("\\uc2\\u8364\\'80\\'80z") << "€z";
        QTest::newRow("control word counts one") << document("\\u8212\\emdash z") << "—z";
        QTest::newRow("skipped par ends nothing") << document("\\u8364\\par z") << "€z";
        QTest::newRow("brace stops skipping") << document("\\uc3\\u8364ab{c}d") << "€cd";
        QTest::newRow("skip counts binary data as one")
            << document("\\uc2\\u8364\\bin2 ab!z") << "€z";
        QTest::newRow("line ends are not counted") << document("\\u8364\r\n?x") << "€x";
        QTest::newRow("digits after the fallback") << document("\\u8364?2024") << "€2024";
        QTest::newRow("no parameter is no character") << document("a\\u b") << "ab";

        // The document's bounds.
        QTest::newRow("text after the document ignored") << QByteArray("{\\rtf1 a} b") << "a";
        QTest::newRow("text before the document ignored") << QByteArray("x{\\rtf1 a}") << "a";
        QTest::newRow("version number optional") << QByteArray("{\\rtf\\ansi a}") << "a";
    }
    void text() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expected);
        QCOMPARE(plainText(rtf), expected);
    }

    void malformed_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");
        QTest::newRow("groups left open") << QByteArray("{\\rtf1 a{\\b b{\\i c") << "abc";
        QTest::newRow("closed too often") << QByteArray("{\\rtf1 a}}}b") << "a";
        QTest::newRow("cut in a control word") << QByteArray("{\\rtf1 a\\pa") << "a";
        QTest::newRow("cut after a backslash") << QByteArray("{\\rtf1 a\\") << "a";
        QTest::newRow("cut in a hex escape") << QByteArray("{\\rtf1 a\\'e") << "a";
        QTest::newRow("bad hex escape") << QByteArray("{\\rtf1 a\\'zzb}") << "azzb";
        QTest::newRow("minus without digits is text") << QByteArray("{\\rtf1 a\\u-") << "a-";
        QTest::newRow("cut in the font table") << QByteArray("{\\rtf1{\\fonttbl{\\f0 Ari") << "";
        QTest::newRow("binary count past the end")
            << QByteArray("{\\rtf1 a\\bin999999999 xyz}") << "a";
        QTest::newRow("binary count overflowing")
            << QByteArray("{\\rtf1 a\\bin99999999999999999999 xyz}") << "a";
        QTest::newRow("negative binary count") << QByteArray("{\\rtf1 a\\bin-5 b}") << "ab";
        QTest::newRow("huge font size") << QByteArray("{\\rtf1\\fs99999999999999 a}") << "a";
        QTest::newRow("huge skip count")
            << QByteArray("{\\rtf1{\\uc999999999\\u8364 abc}d}") << "€d";
        QTest::newRow("negative skip count") << QByteArray("{\\rtf1\\uc-3\\u8364 d}") << "€d";
        QTest::newRow("colour index past the table") << QByteArray("{\\rtf1\\cf99 a}") << "a";
        QTest::newRow("font never defined") << QByteArray("{\\rtf1\\f7\\'e9}") << "é";
        QTest::newRow("very long control word")
            << QByteArray("{\\rtf1 a\\" + QByteArray(100000, 'x') + " b}") << "ab";
        QTest::newRow("NUL bytes in text") << QByteArray("{\\rtf1 a\0b}", 11) << "ab";
        QTest::newRow("not RTF at all") << QByteArray("plain text") << "";
        QTest::newRow("ten thousand nested groups")
            << QByteArray("{\\rtf1 before " + repeated("{", 10000) + "deep" + repeated("}", 10000) +
                          " after}")
            << "before deep after";
        QTest::newRow("nesting past the depth limit")
            << QByteArray("{\\rtf1 before " + repeated("{\\b ", 200000) + "deep" +
                          repeated("}", 200000) + " after}")
            << "before deep after";
        QTest::newRow("only opening braces") << repeated("{", 1000000) << "";
        QTest::newRow("only closing braces") << repeated("}", 1000) << "";
    }
    void malformed() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expected);
        QCOMPARE(plainText(rtf), expected);
    }

    void formatting_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QStringList>("runs");
        const QByteArray tables =
            "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fmodern Courier "
            "New{\\*\\falt Courier};}}{\\colortbl;\\red255\\green0\\blue0;"
            "\\red0\\green0\\blue0;}";
        QTest::newRow("default font, no size")
            << QByteArray(tables + "a}") << QStringList{"a|Arial 0 auto", "<par>"};
        QTest::newRow("bold on and off")
            << QByteArray(tables + "a\\b b\\b0 c}")
            << QStringList{"a|Arial 0 auto", "b|b Arial 0 auto", "c|Arial 0 auto", "<par>"};
        QTest::newRow("group restores")
            << QByteArray(tables + "{\\i\\ul a}b}")
            << QStringList{"a|i u Arial 0 auto", "b|Arial 0 auto", "<par>"};
        QTest::newRow("ulnone and other underlines")
            << QByteArray(tables + "\\ulw a\\ulnone b\\uldb c\\ul0 d}")
            << QStringList{"a|u Arial 0 auto", "b|Arial 0 auto", "c|u Arial 0 auto",
                           "d|Arial 0 auto", "<par>"};
        QTest::newRow("font and half-point size")
            << QByteArray(tables + "\\f1\\fs21 a}")
            << QStringList{"a|Courier New 10.5 auto", "<par>"};
        QTest::newRow("size without number is twelve")
            << QByteArray(tables + "\\fs a}") << QStringList{"a|Arial 12 auto", "<par>"};
        QTest::newRow("colour, black is not automatic")
            << QByteArray(tables + "\\cf1 a\\cf2 b\\cf0 c}")
            << QStringList{"a|Arial 0 #ff0000", "b|Arial 0 #000000", "c|Arial 0 auto", "<par>"};
        QTest::newRow("plain resets character formatting")
            << QByteArray(tables + "\\b\\i\\f1\\fs30\\cf1 a\\plain b}")
            << QStringList{"a|b i Courier New 15 #ff0000", "b|Arial 0 auto", "<par>"};
        QTest::newRow("pard keeps character formatting")
            << QByteArray(tables + "\\b a\\par\\pard b}")
            << QStringList{"a|b Arial 0 auto", "<par>", "b|b Arial 0 auto", "<par>"};
        QTest::newRow("same format joins into one run")
            << QByteArray(tables + "a{\\b0 b}{\\cf0 c}}")
            << QStringList{"abc|Arial 0 auto", "<par>"};
        QTest::newRow("line break stays inside the run")
            << QByteArray(tables + "a\\line b}") << QStringList{"a\u2028b|Arial 0 auto", "<par>"};
        QTest::newRow("no-break space kept in the run")
            << QByteArray(tables + "a\\~b}") << QStringList{"a\u00A0b|Arial 0 auto", "<par>"};
    }
    void formatting() {
        QFETCH(QByteArray, rtf);
        QFETCH(QStringList, runs);
        QCOMPARE(describe(read(rtf)), runs);
    }

    // Big documents read completely; how fast belongs to bench/rtf_load_bench.
    void fiveMegabyteDocument() {
        QByteArray body;
        const QByteArray paragraph =
            "{\\b CQ} de \\u1044?\\u1051? caf\\'e9 {\\i\\cf1 dah-di-dah} \\{x\\} 73\\par\n";
        const qsizetype count = 5 * 1024 * 1024 / paragraph.size() + 1;
        body.reserve(paragraph.size() * count);
        for (qsizetype i = 0; i < count; ++i)
            body += paragraph;
        const rich::RichDocument doc = read(document(body));
        QCOMPARE(doc.paragraphs.size(), static_cast<std::size_t>(count));
        QCOMPARE(QString::fromStdString(doc.plainText()).section(QStringLiteral("\r\n"), count - 1),
                 QStringLiteral("CQ de ДЛ café dah-di-dah {x} 73"));
    }
};

QTEST_GUILESS_MAIN(RtfReaderTest)
#include "test_rtf_reader.moc"
