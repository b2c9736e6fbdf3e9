// The code pages against the C library's iconv, byte for byte, and the Symbol font against the
// X11 font encodings.
#include "documents/code_pages.h"
#include "documents/rtf_control_words.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <iconv.h>

namespace {

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

class CodePagesTest : public QObject {
    Q_OBJECT
private slots:
    // Every page an RTF document can name by \fcharsetN, \mac, \pc and \pca, and the Windows pages
    // of \ansicpgN. Each byte alone, and after each byte that opens a character every byte as its
    // trail: iconv's character, or U+FFFD and the trail byte read afresh.
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
            for (int lead = 0; lead < 256; ++lead) {
                const QByteArray one(1, static_cast<char>(lead));
                const QString alone = fed(decoder, one);
                const QString reference = iconvText(name, one);
                if (!decoder.holdsBytes()) {
                    QCOMPARE(alone,
                             reference == QChar(0xFFFF) ? QString(QChar(0xFFFD)) : reference);
                    continue;
                }
                QVERIFY2(alone.isEmpty() && reference == QChar(0xFFFF), name.c_str());
                fed(decoder, {}, true);
                for (int trail = 0; trail < 256; ++trail) {
                    const QByteArray two = one + QByteArray(1, static_cast<char>(trail));
                    const QString afresh = QChar(0xFFFD) + fed(decoder, two.right(1), true);
                    const QString both = iconvText(name, two);
                    QCOMPARE(fed(decoder, two, true), both == QChar(0xFFFF) ? afresh : both);
                }
            }
        }
    }

    // Whole texts decode as their bytes fed one by one do, however they are broken; an unknown
    // encoding reads as Windows-1252.
    void wholeTextsAsByteByByte() {
        QRandomGenerator random(19);
        for (const char* encoding : {"SHIFT_JIS", "GB18030", "CP949", "BIG5", "KOI8-R", "UTF-8"}) {
            codepage::Decoder whole{std::string(encoding)};
            codepage::Decoder single{std::string(encoding)};
            for (int round = 0; round < 300; ++round) {
                QByteArray bytes(random.bounded(1, 40), '\0');
                for (char& byte : bytes)
                    byte = static_cast<char>(random.bounded(1, 256));
                QCOMPARE(QString::fromStdString(whole.toUtf8(bytes.toStdString())),
                         fed(single, bytes, true));
            }
        }
        codepage::Decoder unknown(99999);
        QCOMPARE(fed(unknown, "caf\xE9\x80"), QStringLiteral("café€"));
    }

    void westernBytesForTheWriter() {
        for (int byte = 0x80; byte < 0x100; ++byte) {
            const QString character = iconvText("CP1252", QByteArray(1, static_cast<char>(byte)));
            if (character != QChar(0xFFFF))
                QCOMPARE(codepage::toWestern(character.toUcs4().at(0)), byte);
        }
        QCOMPARE(codepage::toWestern(U'Ж'), 0);
    }

    // The file names some bytes twice (Omega and the ohm sign); undefined bytes show U+FFFD.
    void symbolFontAsTheX11Encoding() {
        QProcess gunzip;
        gunzip.start("gzip", {"-dc", "/usr/share/fonts/X11/encodings/adobe-symbol.enc.gz"});
        QVERIFY(gunzip.waitForFinished());
        const QString unicode = QString::fromLatin1(gunzip.readAllStandardOutput())
                                    .section(QStringLiteral("STARTMAPPING unicode"), 1);
        QMultiHash<int, char32_t> shown;
        const QRegularExpression mapping(QStringLiteral("\\n0x(\\w\\w) 0x(\\w{4})"));
        for (const auto& match : mapping.globalMatch(unicode))
            shown.insert(match.captured(1).toInt(nullptr, 16),
                         match.captured(2).toUInt(nullptr, 16));
        QVERIFY(shown.size() > 160);
        for (int byte = 0; byte < 256; ++byte) {
            const char32_t mine = codepage::fromSymbolFont(static_cast<unsigned char>(byte));
            QVERIFY(shown.contains(byte) ? shown.values(byte).contains(mine) : mine == 0xFFFD);
        }
    }
};

QTEST_GUILESS_MAIN(CodePagesTest)
#include "test_code_pages.moc"
