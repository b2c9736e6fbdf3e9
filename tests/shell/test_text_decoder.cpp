#include "documents/text_decoder.h"

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
    // A null text: the bytes are refused.
    void decodes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* title, const QByteArray& bytes, const char* name, Kind kind,
                            const QString& text) {
            QTest::newRow(title) << bytes << QString(name) << kind << text;
        };
        const QByteArray bom8 = "\xEF\xBB\xBF";
        const QByteArray bomLe = "\xFF\xFE";
        const Kind plain = Kind::Plain;
        row("empty file", "", "a.txt", plain, "");
        row("UTF-8", "caf\xC3\xA9 \xD0\x96 \xF0\x9F\x98\x80", "a.txt", plain, "café Ж 😀");
        row("UTF-8 with BOM", bom8 + "caf\xC3\xA9", "a.txt", plain, "café");
        row("BOM only", bom8, "a.txt", plain, "");
        row("UTF-8 BOM with broken bytes", bom8 + "a\xC3z\xFF", "a.txt", plain, "a\uFFFDz\uFFFD");
        row("UTF-16 LE with a surrogate pair and line ends",
            bomLe + utf16(QStringLiteral("Жé €x😀\r\nb\rc"), false), "a.txt", plain, "Жé €x😀\nb\nc");
        row("UTF-16 BE", "\xFE\xFF" + utf16("Жé €", true), "a.txt", plain, "Жé €");
        row("UTF-16 lone surrogate", bomLe + QByteArray::fromHex("3dd86100"), "a.txt", plain,
            "\uFFFDa");
        row("UTF-16 odd byte at the end", bomLe + QByteArray::fromHex("610062"), "a.txt", plain,
            "a");
        row("1252: 80 to 9F, undefined bytes, Latin-1 letters",
            "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94\x95\x96\x97\x98"
            "\x99\x9A\x9B\x9C\x9E\x9F \x81\x8D\x8F\x90\x9D caf\xE9",
            "a.txt", plain, "€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ \uFFFD\uFFFD\uFFFD\uFFFD\uFFFD café");
        row("invalid UTF-8 read as 1252", "\xC3\xA9 and \xE9", "a.txt", plain, "Ã© and é");
        row("overlong UTF-8 read as 1252", "\xC0\xAF", "a.txt", plain, "À¯");
        row("UTF-8 surrogate read as 1252", "\xED\xA0\x80", "a.txt", plain, "í\u00A0€");
        row("cut-off UTF-8 read as 1252", "ab\xE2\x82", "a.txt", plain, "abâ‚");
        row("CR LF, LF, CR, LF CR", "a\r\nb\nc\r\rd\n\re\r\n", "a.txt", plain,
            "a\nb\nc\n\nd\n\ne\n");
        row("RTF named .txt", "{\\rtf1\\ansi a\\par b}", "nota.txt", Kind::Rich, "a\nb");
        row("RTF named .html", "{\\rtf1 x}", "a.html", Kind::Rich, "x");
        row("RTF after a UTF-8 BOM", bom8 + "{\\rtf1 x}", "a.rtf", Kind::Rich, "x");
        row("RTF with binary data", QByteArray("{\\rtf1 x{\\pict\\bin2 \0\0}y}", 25), "a.rtf",
            Kind::Rich, "xy");
        row("RTF-like text is plain", " {\\rtf1 x}", "a.txt", plain, " {\\rtf1 x}");
        row(".htm is a web page", "<p>caf\xC3\xA9</p>", "a.htm", Kind::Html, "<p>café</p>");
        row(".HTML in capitals, line ends kept", "<p>x</p>\r\n", "A.HTML", Kind::Html,
            "<p>x</p>\r\n");
        row("HTML content named .txt", "<p>x</p>", "a.txt", plain, "<p>x</p>");
        row("NUL byte", QByteArray("text\0more", 9), "a.html", Kind::Html, QString());
        row("NUL after a UTF-8 BOM", bom8 + QByteArray("a\0", 2), "a.txt", plain, QString());
        row("Word 97 document named .txt", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1rest of the file",
            "a.txt", plain, QString());
    }
    void decodes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(Kind, kind);
        QFETCH(QString, text);
        const textfile::LoadResult result = decode(bytes, name);
        QCOMPARE(result.ok, !text.isNull());
        QCOMPARE(result.error.empty(), result.ok);
        if (result.ok) {
            QCOMPARE(result.kind, kind);
            QCOMPARE(textOf(result), text);
        }
    }

    void decodeRefusesOversizedBytes() {
        const std::string big(textfile::kMaxBytes + 1, 'a');
        QVERIFY(!textfile::decode(big, "a.txt").ok);
        const std::string limit(textfile::kMaxBytes, 'a');
        QVERIFY(textfile::decode(limit, "a.txt").ok);
    }

    // A null text: the file is refused, and the reason names the file.
    void loadsFile_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("text");
        const QByteArray none;
        QTest::newRow("web page") << "file"
                                  << "page.HTM" << QByteArray("<i>x</i>") << Kind::Html
                                  << QString("<i>x</i>");
        QTest::newRow("name with blanks and non-ASCII")
            << "file"
            << "nota café .txt" << QByteArray("a\r\nb") << Kind::Plain << QString("a\nb");
        QTest::newRow("NUL bytes")
            << "file"
            << "a.txt" << QByteArray("MZ\0\0\x90\0", 6) << Kind::Plain << QString();
        QTest::newRow("missing") << "missing"
                                 << "a.txt" << none << Kind::Plain << QString();
        QTest::newRow("folder") << "folder"
                                << "a.txt" << none << Kind::Plain << QString();
        QTest::newRow("named pipe") << "fifo"
                                    << "a.txt" << none << Kind::Plain << QString();
        QTest::newRow("over the size limit") << "big"
                                             << "a.txt" << none << Kind::Plain << QString();
    }
    void loadsFile() {
        QFETCH(QString, what);
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(Kind, kind);
        QFETCH(QString, text);
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        const std::string target = QFile::encodeName(path).toStdString();
        if (what == "file") {
            QVERIFY(writeFile(path, bytes));
        } else if (what == "folder") {
            QVERIFY(QDir(folder.path()).mkdir(name));
        } else if (what == "fifo") {
            QCOMPARE(::mkfifo(target.c_str(), 0600), 0);
        } else if (what == "big") {
            QFile file(path); // sparse: the size counts, not the disk space
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(static_cast<qint64>(textfile::kMaxBytes) + 1));
        }
        const textfile::LoadResult result = textfile::load(target);
        QVERIFY2(result.ok == !text.isNull(), result.error.c_str());
        if (!result.ok) {
            QVERIFY2(
                QString::fromStdString(result.error).startsWith(QString::fromStdString(target)),
                result.error.c_str());
            return;
        }
        QCOMPARE(result.kind, kind);
        QCOMPARE(textOf(result), text);
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
