#pragma once

#include <QTest>
#include <functional>
#include <map>
#include <string>

// Every test file includes this: QtTest, and the registry of the test classes linked into one test
// program. The program runs the class its first argument names (`program ClassName [QtTest
// options]`), so that each class is a CTest test of its own and the classes share one build.
std::map<std::string, std::function<QObject*()>>& testClasses();

#define VORNIK_TEST(Class)                                                                         \
    [[maybe_unused]] static const bool registered##Class = (                                       \
        testClasses()[#Class] = [] { return static_cast<QObject*>(new Class); }, true);
