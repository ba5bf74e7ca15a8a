#include "jobs/BnfFile.h"

#include "platform/Cp932.h"

namespace {

bool isCommunicationProgram(const QString &name)
{
    return platform::cp932::byteLength(name) > 4 && name.endsWith(QLatin1String(".PD4"));
}

} // namespace

QStringList DataFtpItems(const QString &comPrg1, const QString &comPrg2)
{
    QStringList items = ComModeNames();
    for (const QString &program : {comPrg1, comPrg2})
        if (isCommunicationProgram(program))
            items.append(program);
    return items;
}

BnfMessage BnfResultMessage(BnfResult result)
{
    using platform::MsgIcon;
    const QString fileError = QStringLiteral("ファイル エラー");
    const QString dataError = QStringLiteral("業務データエラー");
    switch (result) {
    case BnfResult::Ok:
    case BnfResult::MissingJobs:
        return {};
    case BnfResult::CannotCreate:
    case BnfResult::WriteFailed:
        return {QStringLiteral("フォルダまたはファイル名を変更してください。"), fileError,
                MsgIcon::Exclamation};
    case BnfResult::InvalidSet:
    case BnfResult::Corrupt:
        return {QStringLiteral("業務データに異常があります。。"), dataError, MsgIcon::Exclamation};
    case BnfResult::CannotOpen:
        return {QStringLiteral("ファイルをオープンできません。"), fileError, MsgIcon::Stop};
    case BnfResult::Empty:
        return {QStringLiteral("業務データがありません。"), dataError, MsgIcon::Exclamation};
    case BnfResult::ReadFailed:
    case BnfResult::ReadFailedReset:
        return {QStringLiteral("ファイル読み取りができません。"), fileError, MsgIcon::Stop};
    case BnfResult::NotBht800:
        return {QStringLiteral("BHT-800の業務データではありません。"), dataError, MsgIcon::Exclamation};
    }
    return {};
}
