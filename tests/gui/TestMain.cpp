// Runs the GUI test classes (all, or the one named as the first argument).

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <cstdio>

#include "TestRegistry.h"

int main(int argc, char** argv) {
    // The folders the environment names may not exist yet in a fresh build tree.
    for (const char* name : {"HOME", "TMPDIR", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME"}) {
        const QByteArray value = qgetenv(name);
        if (value.isEmpty()) continue;
        QDir().mkpath(QString::fromLocal8Bit(value));
        if (qstrcmp(name, "XDG_RUNTIME_DIR") == 0)
            QFile::setPermissions(QString::fromLocal8Bit(value), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pagewright"));

    QString only;
    QStringList args{QString::fromLocal8Bit(argv[0])};
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (i == 1 && !arg.startsWith(QLatin1Char('-'))) only = arg;
        else args << arg;
    }
    int failures = 0;
    int run = 0;
    for (const guitest::Suite& suite : guitest::Suites()) {
        if (!only.isEmpty() && only != suite.name) continue;
        ++run;
        std::unique_ptr<QObject> test = suite.make();
        failures += QTest::qExec(test.get(), args);
    }
    if (run == 0) {
        std::fprintf(stderr, "No test class named %s\n", qPrintable(only));
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
