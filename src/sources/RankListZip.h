#pragma once
// The one CSV file of a ZIP archive, read as a device straight out of the archive (libzip), so a
// list of millions of lines is never unpacked to disk or held whole. Its end is an end only when
// the entry gave as many bytes as the archive's directory says it holds.

#include <QIODevice>

struct zip;
struct zip_file;

// True when the file starts as a ZIP archive does, whatever its name.
bool IsZipFile(const QString& path);

class RankListZip : public QIODevice {
public:
    RankListZip() = default;
    ~RankListZip() override;

    // Opens the archive and its only CSV entry for reading. False with ErrorText() when the file is
    // not a readable ZIP or holds no CSV file or more than one; archiveName stands for it in the text.
    bool OpenArchive(const QString& path, const QString& archiveName);
    const QString& ErrorText() const { return errorText; }
    const QString& EntryName() const { return entryName; } // the CSV's name inside the archive
    qint64 EntrySize() const { return entrySize; }         // its unpacked size, -1 when not known

    bool isSequential() const override { return true; }
    // Only the entry's true end is an end: a read that fails half-way is not.
    bool atEnd() const override;
    void close() override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip* archive = nullptr;
    zip_file* entry = nullptr;
    bool finished = false;
    qint64 unpacked = 0; // bytes the entry has given so far
    QString errorText;
    QString entryName;
    qint64 entrySize = -1;
};
