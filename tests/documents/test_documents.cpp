// Documents read as the library reads them, against the text a learner should see: the samples of
// real writers in tests/data (and the shared corpus where it lies beside the repository), the
// hand-written cases of tests/data, inputs too big to keep as files, and random documents written
// and read back.
#include "documents/rtf_reader.h"
#include "documents/rtf_writer.h"
#include "documents/text_decoder.h"

#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString kData = QStringLiteral(VORNIK_SOURCE_DIR "/tests/data/");
const QString kCorpus = QStringLiteral(VORNIK_SHARED_DIR "/rtf-corpus/");

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writers differ in blanks and empty lines, which are not played; soft hyphens are dropped on
// purpose (documents/rtf_reader.h).
QString normalised(QString text) {
    const auto unicode = QRegularExpression::UseUnicodePropertiesOption;
    text.remove(QChar(0x00AD));
    text.replace(QRegularExpression(QStringLiteral("[^\\S\\n]+"), unicode), QStringLiteral(" "));
    text.replace(QRegularExpression(QStringLiteral(" ?\\n\\s*"), unicode), QStringLiteral("\n"));
    return text.trimmed();
}

QString textOf(const textfile::LoadResult& result) {
    using Kind = textfile::LoadResult::Kind;
    if (!result.ok)
        return QStringLiteral("refused");
    return QString::fromStdString(result.kind == Kind::Rich
                                      ? "rtf:" + result.document.plainText("\n")
                                  : result.kind == Kind::Html ? "html:" + result.text
                                                              : result.text);
}

QString read(const QByteArray& rtf, const char* lineEnd = "¶") {
    return QString::fromStdString(rtf::read(rtf.toStdString()).plainText(lineEnd));
}

// The lines "A => B" of a file of cases.
void addCases(const QString& file) {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("expected");
    for (const QByteArray& line : contents(kData + file).split('\n')) {
        const qsizetype arrow = line.indexOf(" =>");
        if (!line.startsWith('#') && arrow > 0)
            QTest::newRow(line.left(arrow).constData())
                << line.left(arrow) << QString::fromUtf8(line.mid(arrow + 4));
    }
}

// Paragraphs of pieces that writers get wrong: every length of UTF-8 and UTF-16, RTF syntax and
// text that looks like it, digits and "?" after escaped characters, tabs, line breaks, no-break
// spaces, the last code point; in random formats with odd font names.
rich::RichDocument randomDocument(QRandomGenerator& random) {
    static const QStringList pieces{"CQ de ",
                                    "café ",
                                    "€‚„…‰Š‹Œ",
                                    "Łódź ışık",
                                    "Ёжик",
                                    "Καλημέρα",
                                    "摩尔斯",
                                    "😀👍🏽",
                                    "\t",
                                    "{\\rtf1 \\par {\\b x}}",
                                    "\\'e9 \\u8364?",
                                    "é?2",
                                    "Ж7",
                                    "\u2028",
                                    "20\u00A0WPM",
                                    " ",
                                    QString::fromUcs4(U"\U0010FFFF\uFFFD"),
                                    "e\u0301"};
    static const QStringList fonts{"", "Arial", "DejaVu Sans Mono", "Ärial Ωmega 明朝",
                                   "{Odd} \\F"};
    const auto any = [&](const QStringList& list) { return list.at(random.bounded(list.size())); };
    const auto level = [&] { return static_cast<std::uint8_t>(random.bounded(256)); };
    rich::RichDocument document;
    for (int paragraph = random.bounded(6); paragraph > 0; --paragraph) {
        document.startParagraph();
        for (int run = random.bounded(4); run > 0; --run) { // none: an empty paragraph
            rich::CharFormat format{random.bounded(2) == 1,
                                    random.bounded(2) == 1,
                                    random.bounded(2) == 1,
                                    any(fonts).toStdString(),
                                    random.bounded(3) == 0 ? 0 : random.bounded(2, 145) / 2.0,
                                    {}};
            if (random.bounded(2) == 1)
                format.colour = rich::Colour::rgb(level(), level(), random.bounded(2) ? 0 : 255);
            for (int piece = random.bounded(1, 5); piece > 0; --piece)
                document.append(any(pieces).toStdString(), format);
        }
    }
    return document;
}

} // namespace

class DocumentsTest : public QObject {
    Q_OBJECT
private slots:
    void samples_data() {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("expected");
        const auto add = [](const QString& folder, const QString& name, const QString& base) {
            // Where the shared corpus's reference differs on purpose, tests/data holds ours.
            const QString ours = kData + QStringLiteral("shared-") + base + ".expected.txt";
            const QString manual = QFile::exists(ours) ? ours : folder + base + ".manual.txt";
            QTest::newRow(qPrintable(name))
                << folder + name
                << (QFile::exists(manual) ? manual : folder + base + ".expected.txt");
        };
        const QStringList samples = QDir(kData).entryList({"*.rtf", "plain-*.txt"}, QDir::Files);
        QVERIFY(samples.size() >= 20);
        for (const QString& name : samples) {
            if (!name.endsWith(QStringLiteral(".expected.txt")))
                add(kData, name, name.section(QLatin1Char('.'), 0, 0));
        }
        for (const QString& name : QDir(kCorpus).entryList({"*.rtf"}, QDir::Files))
            add(kCorpus, name, name.chopped(4));
    }
    void samples() {
        QFETCH(QString, document);
        QFETCH(QString, expected);
        const auto loaded = textfile::load(QFile::encodeName(document).toStdString());
        QVERIFY2(QFile::exists(expected), qPrintable(expected));
        QCOMPARE(normalised(textOf(loaded).remove(QRegularExpression("^rtf:"))),
                 normalised(QString::fromUtf8(contents(expected))));
    }

    void rtfCases_data() { addCases(QStringLiteral("rtf-cases.txt")); }
    void rtfCases() {
        QFETCH(QByteArray, input);
        QFETCH(QString, expected);
        if (!input.contains("\\rtf"))
            input = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}" + input + "}";
        QCOMPARE(read(input), expected);
    }

    void decoderCases_data() { addCases(QStringLiteral("decoder-cases.txt")); }
    void decoderCases() {
        QFETCH(QByteArray, input);
        QFETCH(QString, expected);
        const QByteArray bytes = QByteArray::fromPercentEncoding(input.mid(input.indexOf(' ') + 1));
        const auto result =
            textfile::decode(bytes.toStdString(), input.left(input.indexOf(' ')).toStdString());
        QCOMPARE(result.error.empty(), result.ok);
        QCOMPARE(textOf(result), QString::fromUtf8(QByteArray::fromPercentEncoding(
                                     expected.replace(u'¶', u'\n').toUtf8())));
    }

    void decodeRefusesOversizedBytes() {
        QVERIFY(textfile::decode(std::string(textfile::kMaxBytes, 'a'), "a.txt").ok);
        QVERIFY(!textfile::decode(std::string(textfile::kMaxBytes + 1, 'a'), "a.txt").ok);
    }

    // Nesting past the reader's depth limit, floods of braces and a long double-byte document read
    // in full, without deep recursion or a crash.
    void bigInputs() {
        const int deep = 200000;
        QCOMPARE(read("{\\rtf1 a " + QByteArray("{\\b ").repeated(deep) + "b" +
                      QByteArray("}").repeated(deep) + " c}"),
                 QStringLiteral("a b c"));
        QCOMPARE(read(QByteArray("{").repeated(1000000)) + read(QByteArray("}").repeated(999)),
                 QString());
        const QByteArray paragraph = "{\\b CQ} de \\u1044?\\u1051? caf\\'e9 \\'82\\'a0 73\\par\n";
        const QString text = read("{\\rtf1\\ansicpg932 " + paragraph.repeated(100000) + "}", "\n");
        QCOMPARE(text.count(QLatin1Char('\n')), 99999);
        QVERIFY(text.endsWith(QStringLiteral("CQ de ДЛ caf\uFFFD あ 73")));
    }

    void writtenDocumentsReadBackUnchanged() {
        QRandomGenerator random(1919);
        for (int round = 0; round < 2000; ++round) {
            const rich::RichDocument document = randomDocument(random);
            const std::string rtf = rtf::write(document);
            QVERIFY2(std::all_of(rtf.begin(), rtf.end(), [](char c) { return c > 0; }), "7-bit");
            const rich::RichDocument back = rtf::read(rtf);
            QCOMPARE(QString::fromStdString(back.plainText()),
                     QString::fromStdString(document.plainText()));
            QVERIFY2(back == document, rtf.c_str());
        }
    }
};

QTEST_GUILESS_MAIN(DocumentsTest)
#include "test_documents.moc"
