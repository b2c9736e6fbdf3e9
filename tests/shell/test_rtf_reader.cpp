#include "documents/rtf_reader.h"

#include <QTest>

namespace {

rich::RichDocument read(const QByteArray& bytes) {
    return rtf::read(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
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

} // namespace

class RtfReaderTest : public QObject {
    Q_OBJECT
private slots:
    void text_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");

        // Paragraphs and breaks.
        QTest::newRow("empty paragraphs kept, closing par adds no line")
            << document("a\\par\\par\\par b\\par") << "a\r\n\r\n\r\nb";
        QTest::newRow("empty document") << QByteArray("{\\rtf1}") << "";
        QTest::newRow("only a par") << document("\\par") << "";
        QTest::newRow("line break and tabs") << document("a\\line b\\tab c\td") << "a\r\nb\tc\td";
        QTest::newRow("source line ends ignored") << document("a\r\nb\nc\rd") << "abcd";
        QTest::newRow("backslash before a line end is a par")
            << document("a\\\nb\\\rc") << "a\r\nb\r\nc";
        QTest::newRow("control characters dropped, raw or escaped")
            << document("a\x0c\x01\x7f\\uc0\\'0c\\u1 \\u13 b") << "ab";
        QTest::newRow("section and page end a paragraph")
            << document("a\\sect b\\page c") << "a\r\nb\r\nc";
        QTest::newRow("page break after par adds no line")
            << document("a\\par\\page b") << "a\r\nb";

        // Control words and symbols.
        QTest::newRow("a space or a letter after the parameter ends a control word")
            << document("\\b  two\\fs24x") << " twox";
        QTest::newRow("escaped metacharacters") << document("\\\\ \\{ \\}") << "\\ { }";
        QTest::newRow("special symbols")
            << document("\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet")
            << "—–‘’“”•";
        QTest::newRow("no-break space a blank, no-break hyphen kept, soft hyphen dropped")
            << document("20\\~WPM DL\\_1 Mor\\-se") << "20 WPM DL‑1 Morse";
        QTest::newRow("unknown words and symbols ignored")
            << document("a\\foo b\\foo-12 c\\|d\\:e\\ f") << "abcdef";

        // Destinations.
        QTest::newRow("starred unknown group hidden")
            << document("a{\\*\\foo hidden {x}}b") << "ab";
        QTest::newRow("unknown group shows text") << document("a{\\foo shown}b") << "ashownb";
        QTest::newRow("par in hidden group ends nothing") << document("a{\\*\\x \\par}b") << "ab";
        QTest::newRow("tables, info, header, footer and footnote not text")
            << document("{\\colortbl;\\red1\\green2\\blue3;}{\\stylesheet{\\s0 Normal;}}{\\info{"
                        "\\title T}}{\\header H}{\\footerl F}a{\\footnote note}.")
            << "a.";
        QTest::newRow("pictures and objects not text")
            << document("{\\pict\\pngblip 89504e47}{\\pict\\bin4 \\{}a}{\\object{\\*\\objdata "
                        "0102}{\\result R}}x")
            << "x";
        QTest::newRow("fields show their result, starred or not")
            << document("{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt link}}"
                        "{\\field{\\fldinst PAGE}{\\fldrslt 7}}")
            << "link7";
        QTest::newRow("list texts kept")
            << document("{\\listtext 1.\\tab}A{\\pntext\\f0 2)\\tab}B") << "1.\tA2)\tB";
        QTest::newRow("unicode alternative") << document("{\\upr{ansi}{\\*\\ud{uni}}}") << "uni";
        QTest::newRow("font table with name escapes")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0 Caf\\'e9;}}x}") << "x";

        // Tables.
        QTest::newRow("cells are paragraphs, empty ones kept")
            << document("a\\cell\\cell b\\cell\\row c") << "a\r\n\r\nb\r\nc";
        QTest::newRow("nested cells")
            << document(
                   "x\\par in1\\nestcell "
                   "in2\\nestcell{\\*\\nesttableprops\\nestrow}{\\nonesttables\\par}y\\cell\\row")
            << "x\r\nin1\r\nin2\r\ny";

        // Code pages.
        QTest::newRow("1252 hex in either case, raw byte, undefined byte")
            << document("caf\\'e9 \\'80\\'C9\xe9\\'81") << "café €Éé\uFFFD";
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
        QTest::newRow("surrogate pair") << document("\\u55357?\\u56832?") << "😀";
        QTest::newRow("lone high surrogates, before text and at a paragraph's end")
            << document("\\u55357?x\\u55357?\\par y") << "\uFFFDx\uFFFD\r\ny";
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

        // Malformed documents.
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
            << QByteArray("{\\rtf1 before " + QByteArray("{").repeated(10000) + "deep" +
                          QByteArray("}").repeated(10000) + " after}")
            << "before deep after";
        QTest::newRow("nesting past the depth limit")
            << QByteArray("{\\rtf1 before " + QByteArray("{\\b ").repeated(200000) + "deep" +
                          QByteArray("}").repeated(200000) + " after}")
            << "before deep after";
        QTest::newRow("only opening braces") << QByteArray("{").repeated(1000000) << "";
        QTest::newRow("only closing braces") << QByteArray("}").repeated(1000) << "";
    }
    void text() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(read(rtf).plainText()), expected);
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
