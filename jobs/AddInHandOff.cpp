#include "AddInHandOff.h"

#include "common/FerPrgLib.h"
#include "platform/Cp932.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/RegistryFile.h"
#include "platform/UiService.h"

#include <QFileInfo>
#include <algorithm>

namespace jobs {

using platform::registry::Value;

namespace {

QString paraName(int k)
{
    return QStringLiteral("Para%1").arg(k);
}

Value stringValue(const QString &name, const QString &text)
{
    Value v;
    v.name = name;
    v.type = Value::Type::String;
    v.text = text;
    return v;
}

Value integerValue(const QString &name, int number)
{
    Value v;
    v.name = name;
    v.type = Value::Type::Integer;
    v.number = number;
    return v;
}

void removeValue(platform::registry::Key &key, const QString &name)
{
    const QString folded = platform::registry::fold(name);
    key.values.remove(folded);
    for (const QString &entry : key.unread.keys())
        if (platform::registry::fold(entry) == folded)
            key.unread.remove(entry);
}

platform::MsgStyle errorStyle()
{
    platform::MsgStyle style;
    style.icon = platform::MsgIcon::Stop;
    style.modality = platform::MsgModality::Task;
    style.foreground = true;
    return style;
}

} // namespace

AddInNameCheck CheckAddInName(const QString &name)
{
    if (name.isEmpty())
        return AddInNameCheck::Empty;
    const QString upper = UpperAddInName(name);
    if (platform::cp932::byteLength(upper) < 5 || !upper.contains(QStringLiteral(".PD4")))
        return AddInNameCheck::Malformed;
    return AddInNameCheck::Ok;
}

QString UpperAddInName(const QString &name)
{
    QString upper = name;
    for (QChar &c : upper)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    return upper;
}

bool WriteAddInHandOff(const QString &gyName, int count, const AddInStrings &data, QString *error)
{
    const int n = BoundedCount(count, MaxAddInCount);
    const QString path = *platform::registry::normalizeKeyPath(AddInHandOffKey);
    const auto change = [&](platform::registry::Store &store) {
        platform::registry::Key &key = platform::registry::ensureKey(store, path);
        platform::registry::setValue(key, stringValue(QStringLiteral("GyName"), gyName));
        platform::registry::setValue(key, integerValue(QStringLiteral("BhtType"), AddInBhtType));
        platform::registry::setValue(key, integerValue(QStringLiteral("SetCount"), n));
        for (int k = 0; k < AddInBlockCount; ++k) {
            // Para0 and Para1 go together; Para k for k >= 2 only when n > k - 1.
            const bool written = n > 0 && (k < 2 || n > k - 1);
            if (written)
                platform::registry::setValue(
                    key, stringValue(paraName(k), platform::cp932::decode(data[std::size_t(k)])));
            else
                removeValue(key, paraName(k));
        }
        platform::registry::setValue(key, integerValue(QStringLiteral("Result"), 0));
        return true;
    };
    QString reason;
    const bool ok =
        platform::registry::updateStore(platform::registry::storePath(), change, nullptr, &reason);
    if (!ok && error)
        *error = reason;
    return ok;
}

AddInAnswer ReadAddInAnswer()
{
    AddInAnswer answer;
    platform::TRegistry reg;
    if (!reg.OpenKey(AddInHandOffKey, true))
        return answer;
    answer.keyOpened = true;
    answer.Result = reg.ReadBool(QStringLiteral("Result")).value_or(false);
    answer.SetCount = reg.ReadInteger(QStringLiteral("SetCount"));
    for (int k = 0; k < AddInBlockCount; ++k)
        if (const auto text = reg.ReadString(paraName(k)))
            answer.Para[std::size_t(k)] = platform::cp932::encode(*text);
    reg.CloseKey();
    return answer;
}

std::optional<AddInBlocks> EditorAnswer(const AddInAnswer &answer)
{
    if (!answer.keyOpened || !answer.Result)
        return std::nullopt;
    AddInBlocks blocks;
    int count = answer.SetCount ? BoundedCount(*answer.SetCount, MaxAddInCount) : 0;
    const auto &para = answer.Para;
    if (para[0])
        blocks.AddInData[0] = *para[0];
    else
        count = 0;
    // A program that answers Para0 alone leaves Para1 out: it reads as empty.
    if (count > 0 && para[1])
        blocks.AddInData[1] = *para[1];
    for (int k = 2; k < AddInBlockCount && count > k - 1; ++k) {
        if (para[std::size_t(k)])
            blocks.AddInData[std::size_t(k)] = *para[std::size_t(k)];
        else
            count = k - 1;
    }
    if (count <= 0)
        return std::nullopt;
    for (int k = count + 1; k < AddInBlockCount; ++k)
        blocks.AddInData[std::size_t(k)].clear();
    blocks.AddInCount = count;
    return blocks;
}

bool AddJobAnswer(const AddInAnswer &answer, AddInBlocks &target)
{
    if (!answer.keyOpened || !answer.Result)
        return false;
    int count = answer.SetCount ? std::clamp(*answer.SetCount, 1, MaxAddInCount) : 1;
    auto &data = target.AddInData;
    const auto &para = answer.Para;
    if (para[0]) {
        data[0] = *para[0];
    } else {
        data[0].clear();
        data[1].clear();
        count = 0;
    }
    if (count > 0) {
        if (para[1]) {
            data[1] = *para[1];
        } else {
            data[1].clear();
            count = 1;
        }
    }
    for (int k = 2; k < AddInBlockCount && count > k - 1; ++k) {
        if (para[std::size_t(k)]) {
            data[std::size_t(k)] = *para[std::size_t(k)];
        } else {
            data[std::size_t(k)].clear();
            count = k - 1;
        }
    }
    target.AddInCount = std::max(count, 1);
    return true;
}

bool RunSettingsProgram(const QString &path)
{
    platform::Process process;
    if (!process.start(path))
        return false;
    // The end of the program ends the wait, whatever its exit code (259 included).
    process.waitForEnd();
    return true;
}

int AddInSetPrg(const QString &appPath, const QString &programName, const QString &gyName,
                AddInBlocks &target)
{
    const QString path = GetAddInSetPrg(appPath, programName);
    if (path.isEmpty())
        return 2;
    if (!QFileInfo(path).isFile()) {
        platform::ui().messageBox(QStringLiteral("設定プログラムを実行できません。"),
                                  QStringLiteral("アドインプログラム設定"), errorStyle());
        return 2;
    }
    if (!WriteAddInHandOff(gyName, target.AddInCount, target.AddInData))
        return 0;
    if (!RunSettingsProgram(path))
        return 0;
    return AddJobAnswer(ReadAddInAnswer(), target) ? 1 : 0;
}

} // namespace jobs
