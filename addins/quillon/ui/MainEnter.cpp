// Where Enter moves the focus on the main form's pages.

#include "Main.h"

#include "MainParts.h"
#include "SetBarCode.h"
#include "SetBz.h"
#include "addins/frame/ui/ByteEdit.h"
#include "addins/frame/ui/FileNameEdit.h"
#include "addins/frame/ui/ReturnMoves.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"

#include <QCheckBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>

using namespace quillon;
using formkit::named;

void TMainForm::buildReturnMoves()
{
    using When = ReturnMoves::When;
    ReturnMoves &m = *returnMoves_;
    m.add(DKNameSE, DKTypeCB, When::Filled);
    m.add(DKTypeCB, DKFontCB);
    m.add(DKFontCB, DKMaxNE);
    m.add(DKMaxNE, DKMinNE);
    m.add(DKMinNE, DKBarChk);
    m.add(DKBarChk, [this]() -> QWidget * { return DKBarChk->isChecked() ? DKBarBtn : nullptr; });
    m.add(DKMstUseChk, [this]() -> QWidget * { return DKMstUseChk->isChecked() ? DKMstFileSE : nullptr; });
    m.add(DKMstFileSE, DKMstErrChk);
    m.add(KKNameSE, KKMaxNE, When::Filled);
    m.add(KKMaxNE, KKMinNE);
    m.add(KKMinNE, KKBarBtn);
    m.add(SKNameSE, SKBarBtn, When::Filled);
    m.add(CmpModeCB, SKBarBtn);
    m.add(OkDspTimeNE, NgDspTimeNE, When::Filled);
    m.add(NgDspTimeNE, OkBzBtn, When::Filled);
    m.add(SaveFileSE, SaveFieldsCB);
    m.add(SaveFieldsCB, SaveTypeCB);
    m.add(SaveTypeCB, pSField[0]);
    for (int k = 0; k < SaveRowCount; ++k) {
        const std::size_t i = std::size_t(k);
        const auto nextRow = [this, k]() -> QWidget * {
            return k + 1 < saveCount() ? pSField[std::size_t(k + 1)] : pSField[0];
        };
        m.add(pSField[i], [this, i, nextRow]() -> QWidget * {
            return RowEditsOf(SaveDat[i].code) == RowEdits::StartAndLength ? pSFTopNE[i] : nextRow();
        });
        m.add(pSFTopNE[i], pSFLenNE[i]);
        m.add(pSFLenNE[i], nextRow);
    }
}
