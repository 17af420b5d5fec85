#include "app/StartUp.h"

#include "app/AppState.h"
#include "app/Names.h"
#include "app/ProgramFolder.h"
#include "app/Prompter.h"
#include "lists/ListStore.h"
#include "sitedb/SiteDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

StartUp::StartUp(const QString& programFolder) : lock(programFolder + QStringLiteral("/quorvex.lock"))
{
    // A running copy holds the lock however long it runs; only a crashed copy's lock is taken over.
    lock.setStaleLockTime(0);
}

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
    if (!lock.tryLock(0)) {
        if (lock.error() == QLockFile::LockFailedError)
            return StartUpResult::AlreadyRunning;
        prompter.ShowMessage(SevereErrorText, MessageIcon::Exclamation, AppTitle);
        return StartUpResult::Failed;
    }
    bool ok = PrepareWorkingFolder(state.ProgramFolder) && state.Settings.Load();
    if (ok) {
        if (ListsNeverStored(state.Settings)) {
            InitURLLists(state.Lists, state.Settings);
            ok = !state.Settings.WriteFailed();
        } else {
            ok = LoadURLLists(state.Lists, state.Settings);
        }
    }
    if (!ok) {
        prompter.ShowMessage(SevereErrorText, MessageIcon::Exclamation, AppTitle);
        return StartUpResult::Failed;
    }
    return StartUpResult::Ready;
}
