#include "documents/rtf_reader.h"
#include "documents/rtf_writer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

Q_DECLARE_METATYPE(rich::CharFormat)

namespace {

// Paragraphs separated by '\n', all in one format.
rich::RichDocument documentOf(const QString& text, const rich::CharFormat& format = {}) {
    rich::RichDocument doc;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        doc.startParagraph();
        doc.append(paragraph.toStdString(), format);
    }
    return doc;
}

rich::CharFormat formatOf(bool bold, bool italic, bool underline, const char* family, double size,
                          rich::Colour colour = {}) {
    return {bold, italic, underline, family, size, colour};
}

QByteArray fileContents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Limits the size of files this process may write, as a full disk would; writing past it fails
// with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
};

} // namespace

class RtfWriterTest : public QObject {
    Q_OBJECT
private slots:
    void textRoundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("punctuation") << ". , ? ' ! / ( ) & : ; = + - _ \" $ @ < > # % * ^ ~ ` |";
        QTest::newRow("Latin-1") << "Café crème, naïve, über, Straße, Ångström, ¿qué? ½ © ° ±";
        QTest::newRow("1252 extras") << "€ ‚ „ … † ‡ ‰ Š ‹ Œ Ž ‘ ’ “ ” • – — ™ š › œ ž Ÿ";
        QTest::newRow("outside 1252") << "Łódź ışık Việt Καλημέρα Ёжик 摩尔斯 שלום مرحبا e\u0301";
        QTest::newRow("emoji outside the BMP")
            << "😀 👍🏽 👨‍👩‍👧 🇩🇪 𝄞 𠀋";
        QTest::newRow("highest code point and replacement character")
            << QString::fromUcs4(U"a\U0010FFFFb\uFFFDc");
        QTest::newRow("braces, backslashes, text like escapes")
            << "{\\rtf1 \\par {\\b x}} \\\\ }{ \\'e9 \\u8364? \\~ \\- \\_ \\* \\tab \\line";
        QTest::newRow("question marks and digits after non-ASCII")
            << "€? é? Ж? €2024 é1 Ж7 😀9 éab €ff";
        QTest::newRow("tabs, line breaks and a blank after each")
            << "\tK\t-.-\t\tM one\u2028two\u2028\u2028four\t x\u2028 y";
        QTest::newRow("no-break space") << "20\u00A0WPM";
        QTest::newRow("leading and trailing blanks") << "  lead and trail  ";
        QTest::newRow("empty paragraphs") << "a\n\n\nb";
        QTest::newRow("empty first paragraph") << "\nb";
        QTest::newRow("empty last paragraph") << "a\n";
        QTest::newRow("only empty paragraphs") << "\n\n";
        QTest::newRow("long paragraph") << QString(20000, QLatin1Char('e'));
    }
    void textRoundTrip() {
        QFETCH(QString, text);
        const rich::RichDocument doc = documentOf(text, formatOf(false, false, false, "Arial", 12));
        const rich::RichDocument back = rtf::read(rtf::write(doc));
        QCOMPARE(QString::fromStdString(back.plainText()), QString::fromStdString(doc.plainText()));
        QVERIFY(back == doc);
    }

    void emptyDocumentStaysEmpty() {
        const rich::RichDocument back = rtf::read(rtf::write(rich::RichDocument{}));
        QVERIFY(back.paragraphs.empty());
    }

    // Each of bold, italic and underline on in one row and off in the other: a flag written
    // for another shows.
    void formatRoundTrip_data() {
        QTest::addColumn<rich::CharFormat>("format");
        QTest::newRow("box defaults") << rich::CharFormat{};
        QTest::newRow("bold and underline") << formatOf(true, false, true, "Arial", 12);
        QTest::newRow("italic") << formatOf(false, true, false, "Arial", 12);
        QTest::newRow("large size") << formatOf(false, false, false, "Arial", 72);
        QTest::newRow("family with blanks") << formatOf(false, false, false, "DejaVu Sans Mono", 9);
        QTest::newRow("family with non-ASCII")
            << formatOf(false, false, false, "Ärial Ωmega 明朝", 9);
        QTest::newRow("family with braces") << formatOf(false, false, false, "{Odd} \\Font", 9);
        QTest::newRow("red") << formatOf(false, false, false, "Arial", 12,
                                         rich::Colour::rgb(255, 0, 0));
        QTest::newRow("black is not automatic")
            << formatOf(false, false, false, "Arial", 12, rich::Colour::rgb(0, 0, 0));
        QTest::newRow("white") << formatOf(false, false, false, "", 0,
                                           rich::Colour::rgb(255, 255, 255));
    }
    void formatRoundTrip() {
        QFETCH(rich::CharFormat, format);
        rich::RichDocument doc = documentOf(QStringLiteral("plain "));
        doc.append("formatted", format);
        doc.append(" plain", {});
        doc.startParagraph();
        doc.append("next paragraph", format);
        QVERIFY(rtf::read(rtf::write(doc)) == doc);
    }

    void manyFormatsInOneDocument() {
        rich::RichDocument doc;
        doc.startParagraph();
        for (int i = 0; i < 40; ++i) {
            const auto level = static_cast<std::uint8_t>(i * 6);
            doc.append("w" + std::to_string(i) + " ",
                       formatOf(i % 2 == 0, i % 3 == 0, i % 5 == 0,
                                i % 4 == 0 ? "Arial" : "Courier New", 8 + i / 2.0,
                                i % 7 == 0 ? rich::Colour{} : rich::Colour::rgb(level, 0, 255)));
        }
        QVERIFY(rtf::read(rtf::write(doc)) == doc);
    }

    void semicolonLeavesFontName() {
        rich::RichDocument doc =
            documentOf(QStringLiteral("x"), formatOf(false, false, false, "A;B", 9));
        const rich::RichDocument back = rtf::read(rtf::write(doc));
        QCOMPARE(back.paragraphs.at(0).runs.at(0).format.fontFamily, std::string("AB"));
    }

    void output_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("1252 letter with its byte") << "é" << QByteArray("\\u233\\'e9");
        QTest::newRow("euro with its 1252 byte") << "€" << QByteArray("\\u8364\\'80");
        QTest::newRow("no 1252 byte") << "Ж" << QByteArray("\\u1046?");
        QTest::newRow("negative above 32767") << "！" << QByteArray("\\u-255?");
        QTest::newRow("surrogate pair") << "😀" << QByteArray("\\u-10179?\\u-8704?");
        QTest::newRow("braces and backslash escaped") << "{a}\\" << QByteArray("\\{a\\}\\\\");
        QTest::newRow("tab and line break") << "a\tb\u2028c" << QByteArray("a\\tab b\\line c");
        QTest::newRow("paragraph") << "a\nb" << QByteArray("a}\\par\n{");
    }
    void output() {
        QFETCH(QString, text);
        QFETCH(QByteArray, written);
        const QByteArray rtf = QByteArray::fromStdString(rtf::write(documentOf(text)));
        QVERIFY2(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"), rtf.constData());
        QVERIFY2(rtf.contains("{\\fonttbl") && rtf.contains("{\\colortbl"), rtf.constData());
        QVERIFY2(rtf.contains(written), rtf.constData());
        for (const char byte : rtf)
            QVERIFY2(static_cast<unsigned char>(byte) < 0x80, "RTF is written in 7-bit ASCII");
    }

    // The second save names the file as a path relative to the current folder.
    void saveCreatesAndReplaces() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("latihan"));
        const rich::RichDocument first = documentOf(QStringLiteral("first text"));
        const rich::RichDocument second = documentOf(QStringLiteral("second\ntext"));
        QVERIFY(rtf::save(first, path.toStdString()).ok);
        QCOMPARE(fileContents(path), QByteArray::fromStdString(rtf::write(first)));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(folder.path());
        const rtf::SaveResult result = rtf::save(second, "latihan");
        QDir::setCurrent(previous);
        QVERIFY2(result.ok && result.error.empty(), result.error.c_str());
        QCOMPARE(fileContents(path), QByteArray::fromStdString(rtf::write(second)));
        QCOMPARE(
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("latihan")});
    }

    // Whatever stops a save, the file it would have replaced stays as it was, and no half-written
    // file is left behind in the folder.
    void failedSaveKeepsOldFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("targetIsFolder");
        QTest::addColumn<qint64>("fileSizeLimit"); // 0: none
        QTest::newRow("folder does not exist") << "missing/nota.txt" << false << qint64(0);
        QTest::newRow("target is a folder") << "nota.txt" << true << qint64(0);
        QTest::newRow("name too long for the new file")
            << QString(250, QLatin1Char('n')) << false << qint64(0);
        QTest::newRow("disk full while writing") << "nota.txt" << false << qint64(4096);
    }
    void failedSaveKeepsOldFile() {
        QFETCH(QString, name);
        QFETCH(bool, targetIsFolder);
        QFETCH(qint64, fileSizeLimit);
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        const QByteArray old = "{\\rtf1 the old text that must survive}";
        if (targetIsFolder) {
            QVERIFY(QDir(folder.path()).mkdir(name));
            QVERIFY(writeFile(path + QStringLiteral("/inside.txt"), old));
        } else if (!name.contains(QLatin1Char('/'))) {
            QVERIFY(writeFile(path, old));
        }
        const QStringList before =
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

        rtf::SaveResult result;
        {
            const FileSizeLimit limit(fileSizeLimit > 0 ? static_cast<rlim_t>(fileSizeLimit)
                                                        : RLIM_INFINITY);
            result =
                rtf::save(documentOf(QString(64 * 1024, QLatin1Char('x'))), path.toStdString());
        }
        QVERIFY(!result.ok);
        QVERIFY(!result.error.empty());
        QCOMPARE(
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            before);
        if (targetIsFolder)
            QCOMPARE(fileContents(path + QStringLiteral("/inside.txt")), old);
        else if (!name.contains(QLatin1Char('/')))
            QCOMPARE(fileContents(path), old);
    }
};

QTEST_GUILESS_MAIN(RtfWriterTest)
#include "test_rtf_writer.moc"
