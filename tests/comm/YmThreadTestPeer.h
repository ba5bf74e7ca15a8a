#pragma once

#include "comm/YmThread.h"

// The one door of the unit tests into TYmThread's working fields and internal steps. Shared by every
// test file of test_comm: add what a test needs here rather than defining another peer.
struct YmThreadTestPeer {
    static TYmComStat &state(TYmThread &t) { return t.YmComStat; }
    static int &errorNo(TYmThread &t) { return t.ErrorNo; }
    static bool &endProg(TYmThread &t) { return t.EndProg; }
    static QByteArray &sBuf(TYmThread &t) { return t.sBuf; }
    static QByteArray &fieldsDat(TYmThread &t) { return t.FieldsDat; }
    static QString &bhtFName(TYmThread &t) { return t.BhtFName; }
    static QString &chkFName(TYmThread &t) { return t.ChkFName; }
    static qint64 &chkSize(TYmThread &t) { return t.ChkSize; }
    static qint64 &fSize(TYmThread &t) { return t.fSize; }
    static qint64 &iRecords(TYmThread &t) { return t.iRecords; }
    static int &iNFields(TYmThread &t) { return t.iNFields; }
    static int &iRecSize(TYmThread &t) { return t.iRecSize; }
    static int &iRecSize0(TYmThread &t) { return t.iRecSize0; }
    static int &iEndBlock(TYmThread &t) { return t.iEndBlock; }
    static TFileType &fileType(TYmThread &t) { return t.FileType; }
    static TFieldEntry field(TYmThread &t, int i) { return t.Field[static_cast<size_t>(i)]; }
    static quint32 &tmr(TYmThread &t) { return t.Tmr; }
    static quint32 &tw(TYmThread &t) { return t.tw; }
    static const std::array<char, TYmThread::BufSize> &rxBuf(TYmThread &t) { return t.RxBuf; }

    static int SetFields(TYmThread &t, const QByteArray &list) { return t.SetFields(list); }
    static QByteArray GetFldItem(TYmThread &t, const QByteArray &key) { return t.GetFldItem(key); }
    static int ChkFldFile(TYmThread &t) { return t.ChkFldFile(); }
    static int ComRead(TYmThread &t) { return t.ComRead(); }
    static void ComWrite(TYmThread &t, const QByteArray &bytes)
    {
        t.ComWrite(bytes.constData(), bytes.size());
    }
    static void MakeCrcTable(TYmThread &t) { t.MakeCrcTable(); }
    static quint16 CalcCrc16(TYmThread &t, const QByteArray &bytes)
    {
        return t.CalcCrc16(bytes.constData(), bytes.size());
    }
    static void SetFldBlock(TYmThread &t) { t.SetFldBlock(); }
    static QByteArray txFrame(TYmThread &t) { return QByteArray(t.TxBuf.data(), t.TxSize); }
    static bool OpenLog(TYmThread &t) { return t.OpenLog(); }
    static void WriteLog(TYmThread &t, int code) { t.WriteLog(code); }
};
