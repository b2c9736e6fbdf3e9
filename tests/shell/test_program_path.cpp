#include "storage/program_path.h"

#include <QTest>

class ProgramPathTest : public QObject {
    Q_OBJECT
private slots:
    void join_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<char>("separator");
        QTest::addColumn<QString>("expected");
        QTest::newRow("drive root") << "D:\\"
                                    << "a" << '\\' << "D:\\a";
        QTest::newRow("drive root settings") << "C:\\"
                                             << "laju.mdb" << '\\' << "C:\\laju.mdb";
        QTest::newRow("deeper folder") << "C:\\Latihan"
                                       << "latihan.txt" << '\\' << "C:\\Latihan\\latihan.txt";
        QTest::newRow("posix root") << "/"
                                    << "key22.jpg" << '/' << "/key22.jpg";
        QTest::newRow("posix folder of three characters") << "/ab"
                                                          << "laju.mdb" << '/' << "/ab/laju.mdb";
        QTest::newRow("posix deeper folder") << "/opt/vornik"
                                             << "laju.mdb" << '/' << "/opt/vornik/laju.mdb";
        QTest::newRow("name kept exactly") << "/home/x"
                                           << " nota .TXT" << '/' << "/home/x/ nota .TXT";
        QTest::newRow("empty name gives the folder") << "/home/x"
                                                     << "" << '/' << "/home/x/";
    }
    void join() {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(char, separator);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(
                     progpath::join(folder.toStdString(), name.toStdString(), separator)),
                 expected);
    }

    void programFolderHoldsThisTest() {
        const QString folder = QString::fromStdString(progpath::programFolder());
        QVERIFY(QFileInfo::exists(folder + "/" + QCoreApplication::applicationName()) ||
                QFileInfo(QCoreApplication::applicationFilePath()).absolutePath() == folder);
    }
};

QTEST_GUILESS_MAIN(ProgramPathTest)
#include "test_program_path.moc"
