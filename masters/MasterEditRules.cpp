#include "MasterEditRules.h"

#include "comm/CorlissRules.h"
#include "common/RegistryKeys.h"
#include "platform/Cp932.h"
#include "platform/Registry.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace masters {

QString fileCaption(const QString &path)
{
    return QStringLiteral("マスターファイル（") + QFileInfo(path).fileName() + QStringLiteral("）編集");
}

MasterButtonStates EnableBtn(bool open)
{
    MasterButtonStates s;
    s.NewBtn = s.OpenBtn = !open;
    s.SaveBtn = s.SendBtn = s.BackPaeBtn = s.BackBtn = s.NextBtn = s.NextPageBtn = s.InsBtn = s.DelBtn =
        s.CloseBtn = open;
    return s;
}

bool isRefusedMasterName(const QString &path)
{
    static const QStringList refused = {
        QStringLiteral(".fn3"), QStringLiteral(".fn4"), QStringLiteral(".pd3"),
        QStringLiteral(".pd4"), QStringLiteral(".fld"), QStringLiteral(".xls"),
        QStringLiteral(".mdb"), QStringLiteral(".exe"), QStringLiteral(".dll"),
    };
    return refused.contains(comm::extensionOf(path).toLower());
}

QString openRefusalText(const QString &path)
{
    return QFileInfo(path).fileName() + QStringLiteral("\r\nのファイルは指定できません。");
}

QString saveRefusalText(const QString &path)
{
    return QFileInfo(path).fileName() + QStringLiteral("\r\nのファイル名は指定できません。");
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat sa {};
    struct stat sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 ||
        ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

namespace {

const QString FullWidthDigits = QStringLiteral("１２３４５");

} // namespace

QString columnTitle(int column, int width)
{
    const QString name = column == 1 ? QStringLiteral("検索キー")
                                     : QStringLiteral("参照データ") + FullWidthDigits.at(column - 2);
    return name + QStringLiteral("(") + QString::number(width) + QStringLiteral("桁)");
}

QString columnName(int column)
{
    return column == 1 ? QStringLiteral("参照キー")
                       : QStringLiteral("参照データ") + FullWidthDigits.at(column - 2);
}

int columnPixels(int width)
{
    return std::max(width, MinColChars) * 6 + 6;
}

QString entryRowMessage(qint64 record, int emptyColumn)
{
    return QStringLiteral("No") + QString::number(record) + QStringLiteral("の") + columnName(emptyColumn) +
           QStringLiteral("を入力してください。");
}

QString deleteQuestion(qint64 record)
{
    return QStringLiteral("ﾚｺｰﾄﾞNo") + QString::number(record) + QStringLiteral("を削除してもいいですか？");
}

QString lineEndRefusal(qint64 record)
{
    return QStringLiteral("ﾚｺｰﾄﾞNo") + QString::number(record) +
           QStringLiteral("が改行(CR LF)で終わっていません。");
}

QString proposedBhtName(const QString &masterPath)
{
    const QString name = QFileInfo(masterPath).fileName();
    if (name.isEmpty() || platform::cp932::byteLength(name) >= 13)
        return {};
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool allowed = u == '.' || (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') ||
                             (u >= 'a' && u <= 'z') || (u > 'Z' && u < 'a');
        if (!allowed)
            return {};
    }
    return name.toUpper();
}

QString fieldList(const std::vector<int> &widths)
{
    QStringList pieces;
    for (const int width : widths)
        pieces << QString::number(width);
    return pieces.join(QLatin1Char(','));
}

namespace {

QString withSlash(const QString &folder)
{
    return folder.isEmpty() || folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

} // namespace

MasterLocation readMasterLocation(platform::TRegistry &registry)
{
    MasterLocation location;
    if (!registry.OpenKeyReadOnly(ManagerSettingsKey))
        return location;
    location.MasterFolder =
        withSlash(registry.ReadString(QStringLiteral("MasterFolder")).value_or(QString()));
    location.MasterFile = registry.ReadString(QStringLiteral("MasterFile")).value_or(QString());
    location.DataSourceFolder =
        withSlash(registry.ReadString(QStringLiteral("DataSourceFolder")).value_or(QString()));
    location.DataSourceFile = registry.ReadString(QStringLiteral("DataSourceFile")).value_or(QString());
    registry.CloseKey();
    return location;
}

bool writeMasterLocation(platform::TRegistry &registry, const MasterLocation &location)
{
    if (!registry.OpenKey(ManagerSettingsKey, true))
        return false;
    const bool written =
        registry.WriteString(QStringLiteral("MasterFolder"), location.MasterFolder) &&
        registry.WriteString(QStringLiteral("MasterFile"), location.MasterFile) &&
        registry.WriteString(QStringLiteral("DataSourceFolder"), location.DataSourceFolder) &&
        registry.WriteString(QStringLiteral("DataSourceFile"), location.DataSourceFile);
    registry.CloseKey();
    return written;
}

} // namespace masters
