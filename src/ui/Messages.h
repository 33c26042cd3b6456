#pragma once

#include "core/DownloadReport.h"
#include "core/Failure.h"
#include "core/FileType.h"

#include <QString>

// Every sentence the user reads in a message box, a dialog's title or the window's title, worded in
// one place from what the lower layers report; a failure no box shows is logged in the same words.
namespace quorel::ui::Messages
{
QString alreadyRunning();
QString nothingToAnalyse();
QString nothingToSave();
QString nothingToSaveTitle();
QString noFileSaved();
QString noListYet();
QString everyImageInCheckFolder();
QString chooseFolder();
QString saveDialogTitle();
// The save dialog's file types: a page, an address list, any file.
QList<core::FileType> pageFileTypes();

struct AboutValues
{
    QString programName; // the program's file name without its extension
    int major = 0;
    int minor = 0;
    int revision = 0;
    QString programFolder;
    QString companyName;
    QString legalNotice;
    QString lastSaveFolder; // where the last page was saved, or empty
};
QString aboutTitle();
// Lines ended by CR LF.
QString about(const AboutValues &values);

// The sentence that tells why something failed.
QString describe(const core::Failure &failure);

// The window's title while a download runs: how many of its images have ended.
QString downloadProgressTitle(qsizetype ended, qsizetype total);
// What a download that did not save every image tells the user.
QString downloadAccount(const core::DownloadReport &report);
// The caption of the account's button that fetches the images that failed once more.
QString retryFailed();
}
