#include "ui/Messages.h"

#include "core/AppTitle.h"

using namespace Qt::StringLiterals;

namespace quorel::ui::Messages
{
QString alreadyRunning()
{
    return u"すでに起動されています。"_s;
}

QString nothingToAnalyse()
{
    return u"解析済み(ファイル名が無い)または、アドレスが空です。"_s;
}

QString nothingToSave()
{
    return u"保存する内容が有りません"_s;
}

QString nothingToSaveTitle()
{
    return u"エラー"_s;
}

QString noFileSaved()
{
    return u"選択されていません"_s;
}

QString noListYet()
{
    return u"リストを作成して下さい"_s;
}

QString everyImageInCheckFolder()
{
    return u"すべての画像がチェックフォルダにあるため、ダウンロードする画像はありません。"_s;
}

QString chooseFolder()
{
    return u"ﾌｫﾙﾀﾞを選択してください"_s;
}

QString saveDialogTitle()
{
    return u"ファイルを保存"_s;
}

QList<core::FileType> pageFileTypes()
{
    return {{u"HTMLファイル(*.htm;*.htm)"_s, {u"*.htm"_s, u"*.html"_s}, u"htm"_s},
            {u"TXTファイル(*.txt)"_s, {u"*.txt"_s}, u"txt"_s},
            {u"すべてのファイル(*.*)"_s, {u"*.*"_s}, {}}};
}

QString aboutTitle()
{
    return u"About "_s + core::appTitle();
}

QString about(const AboutValues &values)
{
    const QString lineEnd = u"\r\n"_s;
    const QString quote = u"\""_s;
    return values.programName + u" Version "_s + QString::number(values.major) + u'.' + QString::number(values.minor)
        + u'.' + QString::number(values.revision) + lineEnd + lineEnd + u"プログラムが格納されているフォルダ"_s
        + lineEnd + quote + values.programFolder + quote + lineEnd + lineEnd + values.companyName + lineEnd
        + values.legalNotice + lineEnd + lineEnd + u"出力フォルダ"_s + lineEnd + quote + values.lastSaveFolder + quote;
}

namespace
{
    using core::Reason;

    // As U+301C; an unpaired surrogate by its own value.
    QString codePoint(QStringView character)
    {
        char32_t value = character.isEmpty() ? 0 : character.front().unicode();
        if (character.size() == 2 && character[0].isHighSurrogate() && character[1].isLowSurrogate())
            value = QChar::surrogateToUcs4(character[0], character[1]);
        return u"U+"_s + QString::number(uint(value), 16).toUpper().rightJustified(4, u'0');
    }

    QString reasonText(const core::Failure &failure)
    {
        switch (failure.reason) {
        case Reason::BadStartOrEnd:
            return u"開始、終了に正しい数値を入力してください"_s;
        case Reason::BadDigitCount:
            return u"桁数に正しい数値を入力してください。"_s;
        case Reason::TooManyImages:
            return u"1ページに作成できる画像は32767個までです。"_s;
        case Reason::ZeroColumns:
            return u"幅に0以外の数値を入力してください。"_s;
        case Reason::PageTooLarge:
            return u"作成するデータが大きすぎます。"_s;
        case Reason::DiskFull:
            return u"書き込みの途中で失敗しました。ディスクの空きが足りない可能性があります。"_s;
        case Reason::NameTooLong:
            return u"ファイル名が長すぎます。"_s;
        case Reason::NotPermitted:
            return u"書き込みが許可されていません。"_s;
        case Reason::FolderMissing:
            return u"保存先のフォルダが見つかりません。"_s;
        case Reason::FolderInTheWay:
            return u"同じ名前のフォルダがあります。"_s;
        case Reason::DeviceOrPipe:
            return u"デバイスやパイプなど、通常のファイルではありません。"_s;
        case Reason::NotRegularFile:
            return u"通常のファイルではありません。"_s;
        case Reason::ReadOnlyFile:
            return u"読み取り専用のファイルです。"_s;
        case Reason::NotReplaced:
            return u"元のファイルを置き換えられませんでした。"_s;
        case Reason::NoTemporaryRoom:
            if (failure.detail.isEmpty())
                return u"一時ファイルを置けるフォルダがありません。"_s;
            return u"一時ファイルのフォルダ「%1」に空きがありません。"_s.arg(failure.detail);
        case Reason::UnusableCharacter:
            return u"ファイル名やフォルダ名に使えない文字が含まれています。"_s;
        case Reason::TooManyLinks:
            return u"リンクが多すぎるか循環しているため、たどれません。"_s;
        case Reason::SystemError:
            return failure.detail;
        case Reason::Unexplained:
            return u"原因は分かりません。（%1）"_s.arg(failure.detail);
        case Reason::NotInCodePage:
            return u"「%1」（%2）はWindows-31Jにない文字です。"_s.arg(failure.detail, codePoint(failure.detail));
        case Reason::NoDownloadFolder:
            return u"出力フォルダを指定してください。"_s;
        case Reason::NameLeavesFolder:
            return u"名前が出力フォルダの中のファイルを指していません。"_s;
        case Reason::TransferNotReady:
            return u"通信の準備ができませんでした。"_s;
        case Reason::TransferStopped:
            return u"転送を中止しました。"_s;
        case Reason::HeaderTooLarge:
            return u"サーバーの応答のヘッダーが大きすぎます。"_s;
        case Reason::UnsupportedAddress:
            return u"この種類のアドレスには対応していません。"_s;
        case Reason::MalformedAddress:
            return u"アドレスの形式が正しくありません。"_s;
        case Reason::ServerNotFound:
            return u"サーバーが見つかりません。"_s;
        case Reason::ConnectFailed:
            return u"サーバーに接続できませんでした。"_s;
        case Reason::ServerStalled:
            return u"サーバーからの応答が止まりました。"_s;
        case Reason::NoAnswer:
            return u"サーバーから応答がありませんでした。"_s;
        case Reason::TooManyRedirects:
            return u"転送先の指定が多すぎます。"_s;
        case Reason::OutOfMemory:
            return u"データを受け取るメモリが足りません。"_s;
        case Reason::SecureConnectFailed:
            return u"安全な接続を確立できませんでした。"_s;
        case Reason::CertificateNotTrusted:
            return u"サーバーの証明書を確認できませんでした。"_s;
        case Reason::ServerRefused:
            return u"サーバーに拒否されました。"_s;
        case Reason::TransferCut:
            return u"転送が途中で切れました。"_s;
        case Reason::TransferFailed:
            return u"転送に失敗しました（%1）。"_s.arg(failure.detail);
        case Reason::HttpStatus:
            return failure.detail;
        case Reason::NotAnImage:
            return u"サーバーの応答（%1）は画像ではありません。前のファイルはそのままです。"_s.arg(failure.detail);
        case Reason::ServersSilent:
            return u"%1 個続けてサーバーから応答がありませんでした。"_s.arg(core::DownloadReport::silentServersLimit);
        case Reason::UnexpectedCoding:
            return u"サーバーの応答の形式が正しくありません。"_s;
        case Reason::LinkNotTrusted:
            return u"リンク「%1」は別のユーザーが作成したものなので、たどりません。"_s.arg(failure.detail);
        }
        return failure.detail;
    }
}

QString describe(const core::Failure &failure)
{
    const QString reason = reasonText(failure);
    switch (failure.action) {
    case core::Action::None:
        break;
    case core::Action::WriteFile:
        return u"ファイル「%1」に書き込めませんでした。%2"_s.arg(failure.subject, reason);
    case core::Action::ReadFile:
        return u"ファイル「%1」を読めませんでした。%2"_s.arg(failure.subject, reason);
    case core::Action::MakeFolder:
        return u"フォルダ「%1」を作れませんでした。"_s.arg(failure.subject);
    case core::Action::OpenFolder:
        return u"フォルダ「%1」を開けませんでした。%2"_s.arg(failure.subject, reason);
    case core::Action::Fetch:
        return u"「%1」を取得できませんでした。%2"_s.arg(failure.subject, reason);
    }
    if (failure.reason == Reason::NameLeavesFolder)
        return u"ファイル「%1」は保存できません。%2"_s.arg(failure.subject, reason);
    return reason;
}

QString downloadProgressTitle(qsizetype ended, qsizetype total)
{
    return u"%1 - %2/%3"_s.arg(core::appTitle()).arg(ended).arg(total);
}

namespace
{
    // A long name is shortened in the middle, as its end holds the number that tells images apart
    // and the box would cut it off at its edge. A pair of surrogates is never split.
    QString shortenedName(const QString &name)
    {
        constexpr qsizetype longest = 60;
        if (name.size() <= longest)
            return name;
        qsizetype head = (longest - 1) / 2;
        qsizetype tail = longest - 1 - head;
        if (name.at(head - 1).isHighSurrogate())
            --head;
        if (name.at(name.size() - tail).isLowSurrogate())
            --tail;
        return name.first(head) + u'…' + name.last(tail);
    }
}

QString downloadAccount(const core::DownloadReport &report)
{
    const QString lineEnd = u"\r\n"_s;
    QString text = u"画像 %1 個のうち %2 個を保存しました。"_s.arg(report.total).arg(report.saved);
    if (report.failed > 0) {
        text += u"%1 個は保存できませんでした。"_s.arg(report.failed) + lineEnd + lineEnd;
        for (const core::DownloadReport::ImageFailure &image : report.firstFailures)
            text += u"%1 … %2"_s.arg(shortenedName(image.fileName), reasonText(image.failure)) + lineEnd;
        if (report.failed > report.firstFailures.size())
            text += u"ほかに %1 個あります。"_s.arg(report.failed - report.firstFailures.size()) + lineEnd;
    }
    if (report.endedEarly) {
        const core::Failure &why = *report.endedEarly;
        text += lineEnd;
        if (why.reason == core::Reason::TransferStopped)
            text += u"ダウンロードを中止しました。"_s;
        else
            text += describe(why) + lineEnd + u"そのためダウンロードを中止しました。"_s;
        if (report.notTried() > 0)
            text += u"残りの %1 個は取得していません。"_s.arg(report.notTried());
    }
    return text.trimmed();
}

QString retryFailed()
{
    return u"失敗した画像を再取得(&R)"_s;
}
}
