// The documents layer against references it does not share code with: files made by real writers
// (tests/data) and hand-written cases, the C library's iconv, random
// documents written and read back, and files on disk that must be refused or left alone.
#include "documents/code_pages.h"
#include "documents/rtf_control_words.h"
#include "documents/rtf_reader.h"
#include "documents/rtf_writer.h"
#include "documents/text_decoder.h"

#include "file_bytes.h"
#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "test_classes.h"

#include <csignal>
#include <iconv.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {
const QString kData = QStringLiteral(VORNIK_SOURCE_DIR "/tests/data/");

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
    const bool rich = result.kind == Kind::Rich;
    const QString kind = rich ? "rtf:" : result.kind == Kind::Html ? "html:" : "";
    return !result.ok ? "refused"
                      : kind + QString::fromStdString(rich ? result.document.plainText("\n")
                                                           : result.text);
}

QString read(const QByteArray& rtf, const char* lineEnd = "¶") {
    return QString::fromStdString(rtf::read(rtf.toStdString()).plainText(lineEnd));
}

// The lines "A => B" of a file of cases.
void addCases(const QString& file) {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("expected");
    for (const QByteArray& line : readBytes(kData + file).split('\n')) {
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
    static const QStringList pieces = QString("CQ de |café |€‚„…‰Š‹Œ|Łódź ışık|"
                                              "Ёжик|Καλημέρα|摩尔斯|😀👍🏽|\t|"
                                              "{\\rtf1 \\par {\\b x}}|\\'e9 \\u8364?|"
                                              "é?2|Ж7|\u2028|20\u00A0WPM| |e\u0301|"
                                              "\U0010FFFF\uFFFD")
                                          .split('|');
    static const QStringList fonts =
        QString("|Arial|DejaVu Sans|Ärial Ωmega 明朝|{Odd} \\F").split('|');
    const auto any = [&](const QStringList& list) { return list.at(random.bounded(list.size())); };
    const auto level = [&] { return static_cast<std::uint8_t>(random.bounded(256)); };
    const auto bit = [&] { return random.bounded(2) == 1; };
    rich::RichDocument document;
    for (int paragraph = random.bounded(6); paragraph > 0; --paragraph) {
        document.startParagraph();
        for (int run = random.bounded(4); run > 0; --run) { // none: an empty paragraph
            rich::CharFormat format{bit(),
                                    bit(),
                                    bit(),
                                    any(fonts).toStdString(),
                                    bit() ? 0 : random.bounded(2, 145) / 2.0,
                                    {}};
            if (bit())
                format.colour = rich::Colour::rgb(level(), level(), bit() ? 0 : 255);
            for (int piece = random.bounded(1, 5); piece > 0; --piece)
                document.append(any(pieces).toStdString(), format);
        }
    }
    return document;
}

// What iconv itself makes of `bytes`, or U+FFFF where it finds them invalid or incomplete.
QString iconvText(const std::string& encoding, QByteArray bytes) {
    const iconv_t handle = iconv_open("UTF-8", encoding.c_str());
    char* in = bytes.data();
    std::size_t inLeft = static_cast<std::size_t>(bytes.size());
    char out[64];
    char* written = out;
    std::size_t room = sizeof out;
    const auto failed = static_cast<std::size_t>(-1);
    const bool done = iconv(handle, &in, &inLeft, &written, &room) != failed &&
                      iconv(handle, nullptr, nullptr, &written, &room) != failed;
    iconv_close(handle);
    return done ? QString::fromUtf8(out, written - out) : QString(QChar(0xFFFF));
}

// Feeds `bytes`; `finish` also ends a character left open.
QString fed(codepage::Decoder& decoder, const QByteArray& bytes, bool finish = false) {
    std::u32string out;
    for (const char byte : bytes)
        decoder.feed(static_cast<unsigned char>(byte), out);
    if (finish)
        decoder.finish(out);
    return QString::fromUcs4(out.data(), static_cast<qsizetype>(out.size()));
}

} // namespace

class DocumentsTest : public QObject {
    Q_OBJECT
private slots:
    void samples_data() {
        QTest::addColumn<QString>("document");
        const QStringList samples = QDir(kData).entryList({"*.rtf", "plain-*.txt"}, QDir::Files);
        QVERIFY(samples.size() >= 20);
        for (const QString& name : samples) {
            if (!name.endsWith(QStringLiteral(".expected.txt")))
                QTest::newRow(qPrintable(name)) << name;
        }
    }
    void samples() {
        QFETCH(QString, document);
        const auto loaded = textfile::load(QFile::encodeName(kData + document).toStdString());
        const QString expected = kData + document.section('.', 0, 0) + ".expected.txt";
        QCOMPARE(normalised(textOf(loaded).remove(QRegularExpression("^rtf:"))),
                 normalised(QString::fromUtf8(readBytes(expected))));
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

    // Nesting past the reader's depth limit and floods of braces read in full, without deep
    // recursion or a crash.
    void bigInputs() {
        const int deep = 200000;
        QCOMPARE(read("{\\rtf1 a " + QByteArray("{\\b ").repeated(deep) + "b" +
                      QByteArray("}").repeated(deep) + " c}"),
                 QStringLiteral("a b c"));
        QCOMPARE(read(QByteArray("{").repeated(1000000)) + read(QByteArray("}").repeated(999)),
                 QString());
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
    // Every page an RTF document can name by \fcharsetN, \mac, \pc and \pca, and the Windows pages
    // of \ansicpgN. Each byte alone, and after each byte that opens a character every byte as its
    // trail: iconv's character, or U+FFFD and the trail byte read afresh; fed byte by byte, as
    // the RTF reader does, and whole, as a text file is.
    void everyPageByteForByte() {
        QList<int> pages{codepage::kWestern, 874, 1250, 1251, 1253, 1254, 1255, 1256, 1257, 1258};
        for (const char* word : {"mac", "pc", "pca"})
            pages << static_cast<int>(rtf::findWord(word)->value);
        for (int charset = 0; charset < 256; ++charset)
            pages << codepage::forCharset(charset);
        pages.removeAll(0);
        for (const int page : pages) {
            const std::string name = codepage::iconvName(page);
            QVERIFY2(iconvText(name, "a") == "a", name.c_str());
            codepage::Decoder decoder(page);
            const auto whole = [&decoder](const QByteArray& bytes) {
                return QString::fromStdString(decoder.toUtf8(bytes.toStdString()));
            };
            for (int lead = 0; lead < 256; ++lead) {
                const QByteArray one(1, static_cast<char>(lead));
                const QString alone = fed(decoder, one);
                const QString reference = iconvText(name, one);
                if (!decoder.holdsBytes()) {
                    QCOMPARE(alone,
                             reference == QChar(0xFFFF) ? QString(QChar(0xFFFD)) : reference);
                    QCOMPARE(whole(one), alone);
                    continue;
                }
                QVERIFY2(alone.isEmpty() && reference == QChar(0xFFFF), name.c_str());
                QCOMPARE(whole(one), fed(decoder, {}, true));
                for (int trail = 0; trail < 256; ++trail) {
                    const QByteArray two = one + QByteArray(1, static_cast<char>(trail));
                    const QString afresh = QChar(0xFFFD) + fed(decoder, two.right(1), true);
                    const QString both = iconvText(name, two);
                    QCOMPARE(fed(decoder, two, true), both == QChar(0xFFFF) ? afresh : both);
                    QCOMPARE(whole(two), both == QChar(0xFFFF) ? afresh : both);
                }
            }
        }
    }

    // Files past the size limit (sparse: the size counts, not the disk space), folders, pipes and
    // missing files are refused, and the reason names the file.
    void refusedFiles() {
        for (const QString kind : {"big", "missing", "folder", "fifo"}) {
            QTemporaryDir folder;
            const QString path = folder.filePath(QStringLiteral("nota café .txt"));
            const std::string target = QFile::encodeName(path).toStdString();
            QFile file(path);
            QVERIFY(kind != "big" ||
                    (file.open(QIODevice::WriteOnly) && file.resize(textfile::kMaxBytes + 1)));
            QVERIFY(kind != "folder" || QDir(folder.path()).mkdir(QFileInfo(path).fileName()));
            QVERIFY(kind != "fifo" || ::mkfifo(target.c_str(), 0600) == 0);
            const textfile::LoadResult result = textfile::load(target);
            QVERIFY2(!result.ok && result.error.starts_with(target), qPrintable(kind));
        }
    }

    // Whatever stops a save, the old file stays as it was and nothing half-written is left. A
    // full disk is a limit on file sizes, which makes writes fail with EFBIG.
    // No such folder, the target a folder, a name too long for the new file, the disk full.
    void failedSaveKeepsOldFile() {
        for (auto [name, sizeLimit] : {std::pair{QString("missing/nota.txt"), RLIM_INFINITY},
                                       {"folder", RLIM_INFINITY},
                                       {QString(250, 'n'), RLIM_INFINITY},
                                       {"nota.txt", rlim_t(4096)}}) {
            QTemporaryDir folder;
            const QString path = folder.filePath(name);
            const QString old = name == "folder" ? path + "/inside.txt" : path;
            QVERIFY(name.contains('/') ||
                    (QDir().mkpath(QFileInfo(old).path()) && writeBytes(old, "old")));
            const QStringList before =
                QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
            rich::RichDocument document;
            document.append(std::string(64 * 1024, 'x'), {});
            rlimit saved{};
            getrlimit(RLIMIT_FSIZE, &saved);
            rlimit limit = saved;
            limit.rlim_cur = sizeLimit;
            const auto handler = std::signal(SIGXFSZ, SIG_IGN);
            setrlimit(RLIMIT_FSIZE, &limit);
            const rtf::SaveResult result = rtf::save(document, path.toStdString());
            setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, handler);
            QVERIFY(!result.ok && !result.error.empty());
            QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                     before);
            QVERIFY(name.contains('/') || QFile(old).size() == 3);
        }
    }
};

VORNIK_TEST(DocumentsTest)
#include "test_documents.moc"
