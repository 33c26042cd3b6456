#include "core/AboutText.h"

using namespace Qt::StringLiterals;

namespace quorel::core::AboutText
{
QString compose(const Values &values)
{
    const QString lineEnd = u"\r\n"_s;
    const QString quote = u"\""_s;
    return values.programName + u" Version "_s + QString::number(values.major) + u'.' + QString::number(values.minor)
        + u'.' + QString::number(values.revision) + lineEnd + lineEnd + u"プログラムが格納されているフォルダ"_s
        + lineEnd + quote + values.programFolder + quote + lineEnd + lineEnd + values.companyName + lineEnd
        + values.legalNotice + lineEnd + lineEnd + u"出力フォルダ"_s + lineEnd + quote + values.outFolder + quote;
}
}
