// Checked replacement of whole files through QSaveFile.

#include "base/CheckedFile.h"

CheckedFile::CheckedFile(const QString& path) : file(path)
{
    // Unbuffered, so that a full disk fails the write that meets it, not a later flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        Fail();
}

bool CheckedFile::Write(QByteArrayView bytes)
{
    if (!error.isEmpty())
        return false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.data() + done, bytes.size() - done);
        if (written <= 0)
            return Fail();
        done += written;
    }
    return true;
}

bool CheckedFile::Commit()
{
    if (!error.isEmpty())
        return false;
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return Fail();
    return file.commit() || Fail();
}

bool CheckedFile::Fail()
{
    error = file.errorString();
    if (error.isEmpty())
        error = QStringLiteral("the file could not be written");
    file.cancelWriting();
    return false;
}

bool WriteWholeFile(const QString& path, QByteArrayView bytes, QString& error)
{
    CheckedFile file(path);
    if (file.Write(bytes) && file.Commit())
        return true;
    error = file.Error();
    return false;
}
