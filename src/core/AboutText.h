#pragma once

#include <QString>

namespace quorel::core::AboutText
{
struct Values
{
    QString programName; // the program's file name without its extension
    int major = 0;
    int minor = 0;
    int revision = 0;
    QString programFolder;
    QString companyName;
    QString legalNotice;
    QString outFolder; // where the last page was saved, or empty
};

// The About box's text, its lines ended by CR LF.
QString compose(const Values &values);
}
