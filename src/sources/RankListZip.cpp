// Reading a list out of a ZIP archive with libzip. libzip checks each entry's CRC at its end, so a
// damaged archive fails its read instead of giving a shortened list; the entry's size is checked
// here against the archive's directory as well.

#include "sources/RankListZip.h"

#include <QFile>
#include <QLocale>

#include <zip.h>

bool IsZipFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == QByteArrayLiteral("PK\x03\x04");
}

RankListZip::~RankListZip()
{
    close();
}

bool RankListZip::OpenArchive(const QString& path, const QString& archiveName)
{
    close();
    int code = 0;
    archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        errorText = QStringLiteral("%1 is not a readable ZIP archive: %2")
                        .arg(archiveName, QString::fromUtf8(zip_error_strerror(&error)));
        zip_error_fini(&error);
        return false;
    }

    QList<zip_uint64_t> csvEntries;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t index = 0; index < count; ++index) {
        const char* rawName = zip_get_name(archive, zip_uint64_t(index), ZIP_FL_ENC_GUESS);
        const QString name = rawName ? QString::fromUtf8(rawName) : QString();
        // Folders, and the resource forks some archivers add beside each file, are not lists.
        if (name.endsWith(QLatin1Char('/')) || name.startsWith(QLatin1String("__MACOSX/")))
            continue;
        if (name.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) {
            csvEntries.append(zip_uint64_t(index));
            entryName = name;
        }
    }
    if (csvEntries.size() != 1) {
        errorText = csvEntries.isEmpty() ? QStringLiteral("%1 holds no CSV file.").arg(archiveName)
                                         : QStringLiteral("%1 holds %2 CSV files; it must hold only one.")
                                               .arg(archiveName)
                                               .arg(csvEntries.size());
        close();
        return false;
    }

    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, csvEntries.first(), 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE))
        entrySize = qint64(stat.size);
    entry = zip_fopen_index(archive, csvEntries.first(), 0);
    if (!entry) {
        errorText =
            QStringLiteral("%1 cannot be unpacked: %2").arg(archiveName, QString::fromUtf8(zip_strerror(archive)));
        close();
        return false;
    }
    finished = false;
    unpacked = 0;
    return QIODevice::open(QIODevice::ReadOnly);
}

bool RankListZip::atEnd() const
{
    return finished && QIODevice::atEnd();
}

void RankListZip::close()
{
    if (isOpen())
        QIODevice::close();
    if (entry)
        zip_fclose(entry);
    entry = nullptr;
    if (archive)
        zip_discard(archive);
    archive = nullptr;
}

qint64 RankListZip::readData(char* data, qint64 maxSize)
{
    if (!entry || finished)
        return -1;
    // QIODevice asks for nothing each time its buffer runs empty; that is no end of the entry.
    if (maxSize <= 0)
        return 0;
    const zip_int64_t got = zip_fread(entry, data, zip_uint64_t(maxSize));
    if (got > 0) {
        unpacked += got;
        return got;
    }
    // libzip finds some entries of the wrong size itself (it then calls the archive inconsistent);
    // either way the sizes are what the reader is told.
    const bool inconsistent = got < 0 && zip_error_code_zip(zip_file_get_error(entry)) == ZIP_ER_INCONS;
    if (entrySize >= 0 && unpacked != entrySize && (got == 0 || inconsistent)) {
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        setErrorString(QStringLiteral("%1 unpacks to %2 bytes where the archive's directory gives %3")
                           .arg(entryName, english.toString(unpacked), english.toString(entrySize)));
        return -1;
    }
    if (got < 0) {
        setErrorString(QString::fromUtf8(zip_file_strerror(entry)));
        return -1;
    }
    finished = true;
    return -1;
}
