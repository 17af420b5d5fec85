#pragma once
// Whole files that replace an old one: written to a temporary file, every write and the flush
// checked, then renamed into place; on any failure the old file stays and the reason is told.

#include <QByteArrayView>
#include <QSaveFile>
#include <QString>

// One file being replaced. Writes after the first failure are skipped, so a caller may write
// piece by piece and look at the outcome once, at Commit.
class CheckedFile {
public:
    // Without a successful Commit the old file stays as it was.
    explicit CheckedFile(const QString& path);

    CheckedFile(const CheckedFile&) = delete;
    CheckedFile& operator=(const CheckedFile&) = delete;

    bool Write(QByteArrayView bytes);
    // Flushes, checks and renames into place. False leaves the old file; Error() says why.
    bool Commit();
    // Empty while nothing failed.
    QString Error() const { return error; }

private:
    bool Fail();

    QSaveFile file;
    QString error;
};

// Replaces the file at path with bytes. False, with the reason in error, leaves the old file.
bool WriteWholeFile(const QString& path, QByteArrayView bytes, QString& error);
