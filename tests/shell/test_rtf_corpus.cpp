// Reads every document of the shared RTF corpus (made by other writers, plus hand-made edge cases)
// and compares its text with the reference text kept beside it.
#include "documents/rtf_reader.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>
#include <QPair>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString kCorpus = QStringLiteral(VORNIK_SHARED_DIR "/rtf-corpus");
const QString kDifferences =
    QStringLiteral(VORNIK_SOURCE_DIR "/tests/shell/data/rtf-corpus-differences.txt");

// Line breaks, runs of blanks and the kinds of space characters are not what this test is about.
QString normalised(const QString& text) {
    QString out;
    bool blank = false;
    for (const QChar c : text) {
        if (c.isSpace()) {
            blank = true;
            continue;
        }
        if (blank && !out.isEmpty())
            out += QLatin1Char(' ');
        blank = false;
        out += c;
    }
    return out;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString referenceText(const QString& path) {
    return QString::fromUtf8(contents(path));
}

// "U+00AD" in the differences file stands for the character itself.
QString withCodePoints(QString text) {
    static const QRegularExpression codePoint(QStringLiteral("U\\+([0-9A-Fa-f]{4,6})"));
    QRegularExpressionMatch match;
    while ((match = codePoint.match(text)).hasMatch()) {
        const char32_t value = match.captured(1).toUInt(nullptr, 16);
        text.replace(match.capturedStart(), match.capturedLength(), QString::fromUcs4(&value, 1));
    }
    return text;
}

struct Difference {
    QString reason;
    QList<QPair<QString, QString>> replacements; // LibreOffice's text, ours
};

QHash<QString, Difference> differences() {
    QHash<QString, Difference> result;
    const QStringList lines = referenceText(kDifferences).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char('|'));
        Difference& difference = result[fields.value(0).trimmed()];
        difference.reason = fields.value(1).trimmed();
        for (qsizetype i = 2; i < fields.size(); ++i) {
            const QStringList sides = fields[i].split(QStringLiteral("=>"));
            difference.replacements.append({withCodePoints(sides.value(0).trimmed()),
                                            withCodePoints(sides.value(1).trimmed())});
        }
    }
    return result;
}

QStringList corpusDocuments() {
    QStringList names = QDir(kCorpus).entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    for (QString& name : names)
        name.chop(4);
    return names;
}

} // namespace

class RtfCorpusTest : public QObject {
    Q_OBJECT
private slots:
    void corpusIsThere() { QVERIFY2(corpusDocuments().size() >= 20, qPrintable(kCorpus)); }

    void everyListedDifferenceNamesADocumentWithAReason() {
        const QStringList documents = corpusDocuments();
        const auto listed = differences();
        QVERIFY(!listed.isEmpty());
        for (auto it = listed.begin(); it != listed.end(); ++it) {
            QVERIFY2(documents.contains(it.key()), qPrintable(it.key()));
            QVERIFY2(!it.value().reason.isEmpty(), qPrintable(it.key()));
        }
    }

    void document_data() {
        QTest::addColumn<QString>("name");
        for (const QString& name : corpusDocuments())
            QTest::newRow(qPrintable(name)) << name;
    }
    void document() {
        QFETCH(QString, name);
        const QString base = kCorpus + QLatin1Char('/') + name;
        const QByteArray bytes = contents(base + QStringLiteral(".rtf"));
        QVERIFY(!bytes.isEmpty());
        const QString ours = normalised(QString::fromStdString(
            rtf::read(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))
                .plainText()));

        const bool hasExpected = QFile::exists(base + QStringLiteral(".expected.txt"));
        const bool hasManual = QFile::exists(base + QStringLiteral(".manual.txt"));
        const auto listed = differences();
        const bool differs = listed.contains(name);
        if (hasManual && (differs || !hasExpected)) {
            QCOMPARE(ours, normalised(referenceText(base + QStringLiteral(".manual.txt"))));
            return;
        }
        QVERIFY2(hasExpected, "a document needs a reference text to compare with");
        const QString libreOffice =
            normalised(referenceText(base + QStringLiteral(".expected.txt")));
        if (!differs) {
            QCOMPARE(ours, libreOffice);
            return;
        }
        QVERIFY2(ours != libreOffice, "listed as a difference, but reads like LibreOffice now");
        QString expected = libreOffice;
        for (const auto& [theirs, mine] : listed[name].replacements)
            expected.replace(theirs, mine);
        QCOMPARE(ours, normalised(expected));
    }
};

QTEST_GUILESS_MAIN(RtfCorpusTest)
#include "test_rtf_corpus.moc"
