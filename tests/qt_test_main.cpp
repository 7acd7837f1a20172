// Widget tests run against a real QApplication, on the offscreen platform
// unless the environment asks for another one.
#include <QApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", TOVRIMO_OFFSCREEN_PLATFORM);
    // Where a session would have its runtime folder (the program keeps its
    // single-copy lock there); a private one when the test runs outside a
    // session, as under CI.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::temp().filePath(QStringLiteral("tovrimo-test-runtime-%1").arg(::getuid()));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
