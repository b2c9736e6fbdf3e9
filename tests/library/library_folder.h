#pragma once

#include "form_fixture.h"
#include "trainer/settings_binding.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

// A trainer started inside a folder of practice texts, as `make run` starts it: the library
// lists the current folder when the window is made.
using Files = QList<QPair<QString, QByteArray>>;

class LibraryFixture {
public:
    explicit LibraryFixture(const Files& files) {
        for (const auto& [name, content] : files)
            write(name, content);
        previous_ = QDir::currentPath();
        QDir::setCurrent(folder_.path());
        fixture_ = std::make_unique<FormFixture>();
        f().form().setFilePattern(SettingsBinding::kLibraryPattern);
        f().setDefaultKeying();
    }
    ~LibraryFixture() { QDir::setCurrent(previous_); }

    FormFixture& f() { return *fixture_; }
    QString path(const QString& name) const { return folder_.filePath(name); }
    void write(const QString& name, const QByteArray& content) {
        QFile file(folder_.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(content);
    }
    QStringList listed() {
        QStringList names;
        for (int i = 0; i < f().form().fileCount(); ++i)
            names << QString::fromStdString(f().form().fileName(i));
        return names;
    }

private:
    QTemporaryDir folder_;
    QString previous_;
    std::unique_ptr<FormFixture> fixture_;
};
