#pragma once
// Every test runs in a program folder and home folder of its own, never the user's.

#include <QTemporaryDir>
#include <QtTest>

// Points QUORVEX_HOME, HOME and the XDG folders into a fresh temporary folder for as long as it lives.
class TestHome {
public:
    TestHome();
    QString Path() const { return dir.path(); }

private:
    QTemporaryDir dir;
};

// The folder of the built programs.
QString BinFolder();

// The whole file, or nothing when it cannot be read.
inline QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Like QTEST_MAIN, inside a TestHome.
#define QUORVEX_TEST_MAIN(TestClass)                                                                                   \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        TestHome home;                                                                                                 \
        QApplication app(argc, argv);                                                                                  \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
#define QUORVEX_TEST_MAIN_CORE(TestClass)                                                                              \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        TestHome home;                                                                                                 \
        QCoreApplication app(argc, argv);                                                                              \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
