#include "session/StartUp.h"

#include "base/Names.h"
#include "base/ProgramFolder.h"
#include "base/Prompter.h"
#include "lists/ListStore.h"
#include "model/AppState.h"
#include "sitedb/SiteDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

InstanceLock::InstanceLock(QString programFolder) : path(programFolder + QStringLiteral("/quorvex.lock")) {}

#ifdef _WIN32

InstanceLock::~InstanceLock()
{
    if (handle)
        CloseHandle(handle);
}

InstanceLock::Result InstanceLock::Take()
{
    if (handle)
        return Result::Taken;
    // Opened without sharing: the system closes the handle, and so frees the file, when the holder ends.
    const HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
                                 GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION ? Result::HeldElsewhere : Result::Failed;
    handle = h;
    return Result::Taken;
}

#else

InstanceLock::~InstanceLock()
{
    // Closing drops the lock; the file stays, so a copy starting now never locks a file about to vanish.
    if (fd >= 0)
        ::close(fd);
}

InstanceLock::Result InstanceLock::Take()
{
    if (fd >= 0)
        return Result::Taken;
    const QByteArray file = QFile::encodeName(path);
    int opened = ::open(file.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (opened < 0) {
        // A lock file we may not open (another owner, no permissions) is replaced.
        ::unlink(file.constData());
        opened = ::open(file.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    }
    if (opened < 0)
        return Result::Failed;
    if (::flock(opened, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(opened);
        return error == EWOULDBLOCK ? Result::HeldElsewhere : Result::Failed;
    }
    fd = opened;
    return Result::Taken;
}

#endif

StartUp::StartUp(const QString& programFolder) : lock(programFolder) {}

bool PrepareWorkingFolder(const QString& programFolder)
{
    const QString workingFolder = programFolder + QLatin1Char('/') + WorkingFolderName;
    if (QFileInfo(workingFolder).isDir())
        return true;
    if (!QDir().mkdir(workingFolder))
        return false;
    {
        SiteDatabase database(DatabasePath(programFolder), SiteDatabase::OpenMode::Create);
        if (!database.IsOpen() || !database.CreateMasterTable())
            return false;
    }
    const QString templateSource = TemplateSourcePath(programFolder);
    return !templateSource.isEmpty() &&
           QFile::copy(templateSource, workingFolder + QLatin1Char('/') + TemplateFileName);
}

StartUpResult StartUp::Run(AppState& state, Prompter& prompter)
{
    QDir().mkpath(state.ProgramFolder);
    switch (lock.Take()) {
    case InstanceLock::Result::Taken:
        break;
    case InstanceLock::Result::HeldElsewhere:
        return StartUpResult::AlreadyRunning;
    case InstanceLock::Result::Failed:
        prompter.ShowMessage(SevereErrorText, MessageIcon::Exclamation, AppTitle);
        return StartUpResult::Failed;
    }
    bool ok = PrepareWorkingFolder(state.ProgramFolder) && state.Settings.Load();
    if (ok) {
        if (ListsNeverStored(state.Settings))
            ok = InitURLLists(state.Lists, state.Settings);
        else
            ok = LoadURLLists(state.Lists, state.Settings);
    }
    if (!ok) {
        prompter.ShowMessage(SevereErrorText, MessageIcon::Exclamation, AppTitle);
        return StartUpResult::Failed;
    }
    return StartUpResult::Ready;
}

StartUpResult ReadStoredLists(AppState& state, Prompter& prompter)
{
    if (state.Settings.LoadReadOnly() &&
        (ListsNeverStored(state.Settings) || LoadURLLists(state.Lists, state.Settings)))
        return StartUpResult::Ready;
    prompter.ShowMessage(SevereErrorText, MessageIcon::Exclamation, AppTitle);
    return StartUpResult::Failed;
}
