#pragma once

#include "addins/quillon/Settings.h"
#include "platform/Cp932.h"

#include <QByteArray>
#include <QString>

namespace quillontest {

// A field of a golden record: the text's code page 932 bytes padded with blanks to width.
inline QByteArray field(const QString &text, int width)
{
    QByteArray bytes = platform::cp932::encode(text);
    bytes.append(width - bytes.size(), ' ');
    return bytes;
}

inline QByteArray blanks(int n)
{
    return QByteArray(n, ' ');
}

inline quillon::ModelLimits model(int bht)
{
    return *quillon::LimitsOf(bht);
}

// A barcode setting that passes every check on each model.
inline quillon::TBarDat validBar()
{
    quillon::TBarDat bar;
    bar.BarType = QStringLiteral("AK");
    bar.DTop = 1;
    bar.Dlen = 13;
    return bar;
}

// A form that passes every check: search key and collation data named, with barcodes and the
// collation master file.
inline quillon::QuillonSettings validSettings()
{
    quillon::QuillonSettings s;
    s.KKNameSE = QStringLiteral("品番");
    s.KKBarDat = validBar();
    s.KKMstFileSE = QStringLiteral("MASTER.DAT");
    s.SKNameSE = QStringLiteral("照合");
    s.SKBarDat = validBar();
    s.showSaveDat();
    return s;
}

} // namespace quillontest
