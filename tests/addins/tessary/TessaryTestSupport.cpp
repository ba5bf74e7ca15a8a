#include "TessaryTestSupport.h"

namespace tessary {

namespace {

std::string text(const QString &s)
{
    return '"' + s.toStdString() + '"';
}

std::string digits(const std::optional<int> &v)
{
    return v ? std::to_string(*v) : std::string("empty");
}

template <typename T> std::string list(const std::array<T, 5> &values)
{
    std::string out = "[";
    for (const T &v : values)
        out += std::to_string(v) + ' ';
    return out + ']';
}

} // namespace

void PrintTo(const TBarDat &b, std::ostream *os)
{
    *os << "{BarType " << text(b.BarType) << " BarUser " << text(b.BarUser) << " BMax " << b.BMax << " BMin "
        << b.BMin << " BGTIN " << b.BGTIN << " BDelCD " << b.BDelCD << " BFmt " << b.BFmt << " BChk "
        << b.BChkMode << '/' << b.BChkDNo << '/' << b.BChkTop << '/' << text(b.BChkStr) << " DIdNo "
        << list(b.DIdNo) << " DTop " << list(b.DTop) << " Dlen " << list(b.Dlen) << " Del " << b.DelChrCn
        << text(b.DelChar) << '}';
}

void PrintTo(const TSaveDat &f, std::ostream *os)
{
    *os << '{' << (f.code ? f.code : '0') << ' ' << f.top << ' ' << f.len << '}';
}

void PrintTo(const TTessaryState &s, std::ostream *os)
{
    *os << "\n DK " << s.DKubun << ' ' << text(s.DKName) << " type " << s.DKType << " font " << s.DKFont
        << ' ' << digits(s.DKMax) << '-' << digits(s.DKMin) << " bar " << s.DKBar << " mst " << s.DKMst << ' '
        << text(s.DKMstFile) << ' ' << text(s.DKMstField) << ' ' << s.DKMstErr;
    *os << "\n mode " << s.Dousa << " count " << s.CmpDatCnt << " qty " << s.SuryouInput << " MK "
        << text(s.MKName) << " mst " << s.MKMst << ' ' << digits(s.SerchDatTop) << '/'
        << digits(s.SerchDatLen) << ' ' << text(s.MKMstFile) << ' ' << text(s.MKMstField) << " SK "
        << text(s.SKName);
    *os << "\n DKBarDat ";
    PrintTo(s.DKBarDat, os);
    *os << "\n MKBarDat ";
    PrintTo(s.MKBarDat, os);
    *os << "\n CKBarDat ";
    PrintTo(s.CKBarDat, os);
    *os << "\n save " << s.DSave << ' ' << text(s.SaveFile) << " fields " << s.SaveFields << " type "
        << s.SaveType << " stamp " << s.TStamp << ' ';
    for (const TSaveDat &f : s.SaveDat)
        PrintTo(f, os);
    *os << '\n';
}

} // namespace tessary
