#pragma once

#include "TessaryPara.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The result record the terminal saves after each collation: which sources a field may take on
// the current settings, how fields are kept consistent with them, and the preview's cells.
namespace tessary {

struct SaveCodeInfo {
    char code;
    QString item;    // source list item
    QString caption; // preview column caption
    int width;       // preview column width
};
// K k M m S C o n O D T.
const std::array<SaveCodeInfo, 11> &SaveCodeTable();
const SaveCodeInfo *FindSaveCode(char code);

// GetSaveDef: the allowed code letters in list order.
QString GetSaveDef(const TTessaryState &state);
// GetSDefStr: their list items.
QStringList GetSDefStr(const QString &allowed);

// CheckSaveDat: every entry (also those beyond the field count) brought to an allowed code and
// to the start and length its code takes.
void CheckSaveDat(std::array<TSaveDat, SaveFieldMax> &fields, const QString &allowed, const TModel &model);

// CheckSDTLen: a row's entry from its edits (an empty edit counts as 1): counts at most 4 digits,
// other pieces cut so they end within BarMaxLen unless they start at SpTopPos.
TSaveDat CheckSDTLen(char code, std::optional<int> top, std::optional<int> len, const TModel &model);

// Which edits a row's panel shows for its code.
enum class RowPanel { Hidden, LengthOnly, StartAndLength };
RowPanel PanelOf(char code);

// "保存条件": four types in mode 1:N, the first three in 1:1.
QStringList SaveTypeItems(int dousa);
// The save type index the mode's list can show (1:1 never keeps the count type).
int SaveTypeFor(int index, int dousa);

// "タイムスタンプ" and its letters N D T X.
const std::array<QString, 4> &TimeStampItems();
char TimeStampLetter(int index);
int TimeStampIndex(char letter);

// DspDataLayout: the preview's columns, one per used field; a code outside the table has no
// caption.
struct PreviewColumn {
    QString caption;
    int width = 0;
    QString cell; // the length as "%4d"
};
QList<PreviewColumn> DspDataLayout(const TTessaryState &state);

// The sum of the used fields' lengths that one result record may hold.
inline constexpr int SaveRecordMax = 65535;

} // namespace tessary
