#pragma once

#include "addins/frame/HandOffClient.h"
#include "addins/quillon/Settings.h"
#include "addins/quillon/ui/Main.h"
#include "platform/Cp932.h"
#include "platform/Registry.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace quillonuitest {

// What the manager writes before it starts the program.
inline void writeHandOff(int model, const QByteArray &para0 = {}, const QByteArray &para1 = {}, int count = 1)
{
    platform::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(addins::HandOffKey, true));
    ASSERT_TRUE(reg.WriteString(QStringLiteral("GyName"), QStringLiteral("照合業務")));
    ASSERT_TRUE(reg.WriteInteger(QStringLiteral("BhtType"), model));
    ASSERT_TRUE(reg.WriteInteger(QStringLiteral("SetCount"), count));
    ASSERT_TRUE(reg.WriteBool(QStringLiteral("Result"), false));
    if (!para0.isEmpty()) {
        ASSERT_TRUE(reg.WriteString(QStringLiteral("Para0"), platform::cp932::decode(para0)));
    }
    if (!para1.isEmpty()) {
        ASSERT_TRUE(reg.WriteString(QStringLiteral("Para1"), platform::cp932::decode(para1)));
    }
    reg.CloseKey();
}

struct Answer {
    bool result = false;
    int count = 0;
    QByteArray para0, para1;
};

inline Answer readAnswer()
{
    platform::TRegistry reg;
    Answer a;
    if (!reg.OpenKeyReadOnly(addins::HandOffKey))
        return a;
    a.result = reg.ReadBool(QStringLiteral("Result")).value_or(false);
    a.count = reg.ReadInteger(QStringLiteral("SetCount")).value_or(0);
    a.para0 = platform::cp932::encode(reg.ReadString(QStringLiteral("Para0")).value_or(QString()));
    a.para1 = platform::cp932::encode(reg.ReadString(QStringLiteral("Para1")).value_or(QString()));
    reg.CloseKey();
    return a;
}

template <typename T> T *child(const QWidget &parent, const char *name)
{
    T *w = parent.findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

} // namespace quillonuitest
