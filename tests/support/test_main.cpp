#include "test_classes.h"

#include <memory>
#ifdef QT_WIDGETS_LIB
#include <QApplication>
using TestApplication = QApplication;
#else
using TestApplication = QCoreApplication;
#endif

std::map<std::string, std::function<QObject*()>>& testClasses() {
    static std::map<std::string, std::function<QObject*()>> classes;
    return classes;
}

int main(int argc, char** argv) {
    TestApplication app(argc, argv);
    const auto found = testClasses().find(argc > 1 ? argv[1] : "");
    if (found == testClasses().end())
        return qCritical("usage: %s CLASS [QtTest options]", argv[0]), 2;
    const std::unique_ptr<QObject> test(found->second());
    argv[1] = argv[0];
    return QTest::qExec(test.get(), argc - 1, argv + 1);
}
