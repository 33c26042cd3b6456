#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Splits one sample image address into the pattern fields of the window.
namespace quorel::core::AddressAnalysis
{
struct Fields
{
    QString baseAddress; // through the last "/", empty without one
    QString head; // after that "/" up to the number, the character before the number included
    QString tail; // everything after the number
    QString start; // the digits of the number, leading zeros kept
    QString end; // endFor(start)
    QString digitCount; // digitCountFor(start)
};

// Nothing when the address is empty or already analysed (its trimmed text ends in "/").
std::optional<Fields> analyse(QStringView address);

// The start's value plus 50, in plain decimal.
QString endFor(QStringView start);

// The length of the start, in decimal.
QString digitCountFor(QStringView start);
}
