#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <gtest/gtest.h>

#include "platform/Cp932.h"

namespace testjobs {

// An expected 500-byte line written out field by field; each field states the byte position it
// starts at, so that a field of the wrong width shows up at the next one.
class Expected {
public:
    Expected &at(int position, QByteArrayView bytes)
    {
        EXPECT_EQ(line.size() + 1, position) << "field " << bytes.toByteArray().constData();
        line.append(bytes);
        return *this;
    }
    Expected &blanks(int position, int count) { return at(position, QByteArray(count, ' ')); }
    Expected &zeros(int position, int count) { return at(position, QByteArray(count, '0')); }
    QByteArray done()
    {
        line.append(QByteArray(500 - line.size(), ' '));
        return line;
    }

private:
    QByteArray line;
};

inline QByteArray sjis(const QString &text)
{
    return platform::cp932::encode(text);
}

} // namespace testjobs
