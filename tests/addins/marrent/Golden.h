#pragma once

#include "platform/Cp932.h"

#include <QByteArray>
#include <QString>

// An expected fixed record built by position: blanks of the record's length with fields placed at
// their 1-based byte positions, so a field written one byte off shows in the comparison.
struct Golden {
    QByteArray bytes;
    explicit Golden(int length) : bytes(length, ' ') {}
    Golden &at(int p, QByteArrayView value)
    {
        bytes.replace(p - 1, value.size(), value);
        return *this;
    }
    Golden &text(int p, const QString &value)
    {
        return at(p, QByteArrayView(platform::cp932::encode(value)));
    }
};
