#pragma once
// Files made to be damaged: bytes written over a part of a file the program keeps.

#include <QFile>
#include <QtTest>

// Writes bytes over the file from offset on; the test fails when the file cannot be changed.
inline void OverwriteBytes(const QString& path, qint64 offset, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadWrite), qPrintable(file.errorString()));
    QVERIFY(file.seek(offset));
    QCOMPARE(file.write(bytes), bytes.size());
}
