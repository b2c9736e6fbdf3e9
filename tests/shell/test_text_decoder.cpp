#include "shell/text_decoder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using Kind = textfile::LoadResult::Kind;
Q_DECLARE_METATYPE(Kind)

namespace {

textfile::LoadResult decode(const QByteArray& bytes, const QString& name) {
    return textfile::decode(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
        name.toStdString());
}

// The text the box would get: the document's for RTF, otherwise the decoded text.
QString textOf(const textfile::LoadResult& result) {
    return QString::fromStdString(result.kind == Kind::Rich ? result.document.plainText("\n")
                                                            : result.text);
}

QByteArray utf16(const QString& text, bool bigEndian) {
    QByteArray out;
    for (const QChar c : text) {
        const auto high = static_cast<char>(c.unicode() >> 8);
        const auto low = static_cast<char>(c.unicode() & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TextDecoderTest : public QObject {
    Q_OBJECT
private slots:
    void decodes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("text");
        const QByteArray bom8 = "\xEF\xBB\xBF";
        const QByteArray bomLe = "\xFF\xFE";
        const QByteArray bomBe = "\xFE\xFF";

        QTest::newRow("ASCII") << QByteArray("CQ DE K") << "a.txt" << Kind::Plain << "CQ DE K";
        QTest::newRow("empty file") << QByteArray() << "a.txt" << Kind::Plain << "";
        QTest::newRow("UTF-8") << QByteArray("caf\xC3\xA9 \xD0\x96 \xF0\x9F\x98\x80") << "a.txt"
                               << Kind::Plain << "café Ж 😀";
        QTest::newRow("UTF-8 with BOM") << bom8 + "caf\xC3\xA9"
                                        << "a.txt" << Kind::Plain << "café";
        QTest::newRow("BOM only") << bom8 << "a.txt" << Kind::Plain << "";
        QTest::newRow("UTF-8 BOM with broken bytes") << bom8 + "a\xC3z\xFF"
                                                     << "a.txt" << Kind::Plain << "a\uFFFDz\uFFFD";
        QTest::newRow("UTF-16 LE")
            << bomLe + utf16("Жé €", false) << "a.txt" << Kind::Plain << "Жé €";
        QTest::newRow("UTF-16 BE")
            << bomBe + utf16("Жé €", true) << "a.txt" << Kind::Plain << "Жé €";
        QTest::newRow("UTF-16 LE surrogate pair")
            << bomLe + utf16(QStringLiteral("x😀"), false) << "a.txt" << Kind::Plain << "x😀";
        QTest::newRow("UTF-16 lone surrogate") << bomLe + QByteArray("\x3D\xD8"
                                                                     "a\0",
                                                                     4)
                                               << "a.txt" << Kind::Plain << "\uFFFDa";
        QTest::newRow("UTF-16 odd byte at the end")
            << bomLe + QByteArray("a\0b", 3) << "a.txt" << Kind::Plain << "a";
        QTest::newRow("UTF-16 line ends") << bomLe + utf16(QStringLiteral("a\r\nb\rc"), false)
                                          << "a.txt" << Kind::Plain << "a\nb\nc";
        QTest::newRow("1252 bytes 80 to 9F")
            << QByteArray("\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94\x95"
                          "\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F")
            << "a.txt" << Kind::Plain << "€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ";
        QTest::newRow("1252 undefined bytes")
            << QByteArray("a\x81\x8D\x8F\x90\x9D"
                          "b")
            << "a.txt" << Kind::Plain << "a\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDb";
        QTest::newRow("1252 Latin-1 letters") << QByteArray("caf\xE9 \xFC"
                                                            "ber")
                                              << "a.txt" << Kind::Plain << "café über";
        QTest::newRow("invalid UTF-8 read as 1252")
            << QByteArray("\xC3\xA9 and \xE9") << "a.txt" << Kind::Plain << "Ã© and é";
        QTest::newRow("overlong UTF-8 read as 1252")
            << QByteArray("\xC0\xAF") << "a.txt" << Kind::Plain << "À¯";
        QTest::newRow("UTF-8 surrogate read as 1252")
            << QByteArray("\xED\xA0\x80") << "a.txt" << Kind::Plain << "í\u00A0€";
        QTest::newRow("cut-off UTF-8 read as 1252")
            << QByteArray("ab\xE2\x82") << "a.txt" << Kind::Plain << "abâ‚";
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << "a.txt" << Kind::Plain << "a\nb\n";
        QTest::newRow("LF") << QByteArray("a\nb") << "a.txt" << Kind::Plain << "a\nb";
        QTest::newRow("CR") << QByteArray("a\rb\r\rc") << "a.txt" << Kind::Plain << "a\nb\n\nc";
        QTest::newRow("LF CR is two breaks")
            << QByteArray("a\n\rb") << "a.txt" << Kind::Plain << "a\n\nb";
        QTest::newRow("RTF named .txt")
            << QByteArray("{\\rtf1\\ansi a\\par b}") << "nota.txt" << Kind::Rich << "a\nb";
        QTest::newRow("RTF without extension")
            << QByteArray("{\\rtf1 x}") << "nota" << Kind::Rich << "x";
        QTest::newRow("RTF named .html")
            << QByteArray("{\\rtf1 x}") << "a.html" << Kind::Rich << "x";
        QTest::newRow("RTF after a UTF-8 BOM") << bom8 + "{\\rtf1 x}"
                                               << "a.rtf" << Kind::Rich << "x";
        QTest::newRow("RTF with binary data")
            << QByteArray("{\\rtf1 x{\\pict\\bin2 \0\0}y}", 25) << "a.rtf" << Kind::Rich << "xy";
        QTest::newRow("RTF-like text is plain")
            << QByteArray(" {\\rtf1 x}") << "a.txt" << Kind::Plain << " {\\rtf1 x}";
        QTest::newRow(".htm is a web page")
            << QByteArray("<p>caf\xC3\xA9</p>") << "a.htm" << Kind::Html << "<p>café</p>";
        QTest::newRow(".HTML in capitals")
            << QByteArray("<p>x</p>\r\n") << "A.HTML" << Kind::Html << "<p>x</p>\r\n";
        QTest::newRow("1252 web page")
            << QByteArray("<p>caf\xE9</p>") << "a.html" << Kind::Html << "<p>café</p>";
        QTest::newRow("UTF-16 web page")
            << bomLe + utf16("<b>Ж</b>", false) << "a.htm" << Kind::Html << "<b>Ж</b>";
        QTest::newRow("HTML content named .txt")
            << QByteArray("<p>x</p>") << "a.txt" << Kind::Plain << "<p>x</p>";
    }
    void decodes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(Kind, kind);
        QFETCH(QString, text);
        const textfile::LoadResult result = decode(bytes, name);
        QVERIFY2(result.ok, result.error.c_str());
        QVERIFY(result.error.empty());
        QCOMPARE(result.kind, kind);
        QCOMPARE(textOf(result), text);
    }

    void refuses_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::newRow("NUL byte") << QByteArray("text\0more", 9) << "a.txt";
        QTest::newRow("NUL byte in a web page") << QByteArray("<p>\0</p>", 8) << "a.html";
        QTest::newRow("NUL after a UTF-8 BOM") << QByteArray("\xEF\xBB\xBF"
                                                             "a\0",
                                                             5)
                                               << "a.txt";
        QTest::newRow("Word 97 document") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"
                                                        "rest of the file")
                                          << "a.doc";
        QTest::newRow("OLE2 named .txt")
            << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") << "a.txt";
        QTest::newRow("image") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) << "a.txt";
    }
    void refuses() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        const textfile::LoadResult result = decode(bytes, name);
        QVERIFY(!result.ok);
        QVERIFY(!result.error.empty());
    }

    void decodeRefusesOversizedBytes() {
        const std::string big(textfile::kMaxBytes + 1, 'a');
        QVERIFY(!textfile::decode(big, "a.txt").ok);
        const std::string limit(textfile::kMaxBytes, 'a');
        QVERIFY(textfile::decode(limit, "a.txt").ok);
    }

    void loadsFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "nota.txt" << QByteArray("a\r\nb") << Kind::Plain << "a\nb";
        QTest::newRow("RTF without extension")
            << "latihan" << QByteArray("{\\rtf1 x\\par y}") << Kind::Rich << "x\ny";
        QTest::newRow("web page") << "page.HTM" << QByteArray("<i>x</i>") << Kind::Html
                                  << "<i>x</i>";
        QTest::newRow("name with blanks and non-ASCII")
            << "nota café .txt" << QByteArray("z") << Kind::Plain << "z";
    }
    void loadsFile() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(Kind, kind);
        QFETCH(QString, text);
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        QVERIFY(writeFile(path, bytes));
        const textfile::LoadResult result = textfile::load(QFile::encodeName(path).toStdString());
        QVERIFY2(result.ok, result.error.c_str());
        QCOMPARE(result.kind, kind);
        QCOMPARE(textOf(result), text);
    }

    void refusesFile_data() {
        QTest::addColumn<QString>("what");
        QTest::newRow("missing") << "missing";
        QTest::newRow("folder") << "folder";
        QTest::newRow("named pipe") << "fifo";
        QTest::newRow("over the size limit") << "big";
        QTest::newRow("NUL bytes") << "binary";
        QTest::newRow("inside a missing folder") << "nested";
    }
    void refusesFile() {
        QFETCH(QString, what);
        QTemporaryDir folder;
        const QString path = folder.filePath(what);
        if (what == QLatin1String("folder")) {
            QVERIFY(QDir(folder.path()).mkdir(what));
        } else if (what == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (what == QLatin1String("big")) {
            QFile file(path); // sparse: the size counts, not the disk space
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(static_cast<qint64>(textfile::kMaxBytes) + 1));
        } else if (what == QLatin1String("binary")) {
            QVERIFY(writeFile(path, QByteArray("MZ\0\0\x90\0", 6)));
        }
        const std::string target =
            what == QLatin1String("nested")
                ? QFile::encodeName(path + QStringLiteral("/x.txt")).toStdString()
                : QFile::encodeName(path).toStdString();
        const textfile::LoadResult result = textfile::load(target);
        QVERIFY(!result.ok);
        QVERIFY2(QString::fromStdString(result.error).startsWith(QString::fromStdString(target)),
                 result.error.c_str());
    }

    void loadsFileAtTheSizeLimit() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("limit.txt"));
        QVERIFY(writeFile(path, QByteArray(static_cast<qsizetype>(textfile::kMaxBytes), 'e')));
        const textfile::LoadResult result = textfile::load(QFile::encodeName(path).toStdString());
        QVERIFY2(result.ok, result.error.c_str());
        QCOMPARE(result.text.size(), static_cast<std::size_t>(textfile::kMaxBytes));
    }
};

QTEST_GUILESS_MAIN(TextDecoderTest)
#include "test_text_decoder.moc"
