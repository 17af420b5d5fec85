#include "session/StartUp.h"

#include "base/Names.h"
#include "base/ProgramFolder.h"
#include "base/Prompter.h"
#include "lists/ListStore.h"
#include "model/AppState.h"
#include "session/PrivateFiles.h"
#include "session/WorkingFolder.h"
#include "sitedb/SiteDatabase.h"

#include <QDir>
#include <QFile>

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

namespace {

// The program's own message, and on a second line what went wrong and where.
void ShowSevereError(Prompter& prompter, const QString& reason)
{
    prompter.ShowMessage(SevereErrorText + QLatin1Char('\n') + reason, MessageIcon::Exclamation, AppTitle);
}

QString ListsUnreadableText(const SettingsStore& store)
{
    return QStringLiteral("%1 holds lists that cannot be read: a count, check mark or option is not a value the "
                          "program stores")
        .arg(store.FilePath());
}

} // namespace

StartUp::StartUp(const QString& programFolder) : lock(programFolder) {}

StartUpResult StartUp::Fail(Prompter& prompter, const QString& reason)
{
    failureReason = reason;
    ShowSevereError(prompter, reason);
    return StartUpResult::Failed;
}

StartUpResult StartUp::Run(AppState& state, Prompter& prompter)
{
    MakeNewFilesPrivate();
    QDir().mkpath(state.ProgramFolder);
    switch (lock.Take()) {
    case InstanceLock::Result::Taken:
        break;
    case InstanceLock::Result::HeldElsewhere:
        return StartUpResult::AlreadyRunning;
    case InstanceLock::Result::Failed:
        return Fail(prompter, QStringLiteral("the lock file %1/quorvex.lock cannot be taken").arg(state.ProgramFolder));
    }
    TightenProgramFiles(state.ProgramFolder);
    QString reason;
    if (!PrepareWorkingFolder(state.ProgramFolder, reason))
        return Fail(prompter, reason);
    if (!state.Settings.Load())
        return Fail(prompter, state.Settings.LastError());
    if (ListsNeverStored(state.Settings)) {
        if (!InitURLLists(state.Lists, state.Settings))
            return Fail(prompter, state.Settings.LastError());
    } else if (!LoadURLLists(state.Lists, state.Settings)) {
        return Fail(prompter, ListsUnreadableText(state.Settings));
    }
    return StartUpResult::Ready;
}

StartUpResult ReadStoredLists(AppState& state, Prompter& prompter)
{
    QString reason;
    if (!state.Settings.LoadReadOnly())
        reason = state.Settings.LastError();
    else if (!ListsNeverStored(state.Settings) && !LoadURLLists(state.Lists, state.Settings))
        reason = ListsUnreadableText(state.Settings);
    else
        return StartUpResult::Ready;
    ShowSevereError(prompter, reason);
    return StartUpResult::Failed;
}
