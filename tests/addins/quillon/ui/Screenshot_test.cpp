#include "QuillonUiSupport.h"
#include "addins/quillon/ui/SetBarCode.h"
#include "addins/quillon/ui/SetBz.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/Screenshot.h"

#include <QCheckBox>
#include <QTreeWidget>

using namespace quillon;

// Renders Quillon's forms to PNG files in the screenshots folder for a person to look at.

TEST(QuillonScreenshotTest, ThreePagesAndBothDialogs)
{
    QuillonSettings s;
    s.DKubunChk = true;
    s.DKNameSE = QStringLiteral("区分");
    s.DKBarChk = true;
    s.DKMstUseChk = true;
    s.DKMstFileSE = QStringLiteral("KUBUN.DAT");
    s.KKNameSE = QStringLiteral("品番");
    s.KKBarDat.BarType = QStringLiteral("AK");
    s.KKMstFileSE = QStringLiteral("MASTER.DAT");
    s.SKNameSE = QStringLiteral("照合データ");
    s.SKMstUseChk = true;
    s.SKMstFileSE = QStringLiteral("INFO.DAT");
    s.DSaveChk = true;
    s.SaveFileSE = QStringLiteral("RESULT.DAT");
    s.SaveFieldsCB = 4;
    s.SaveDat[0] = {'#', 1, 8};
    s.SaveDat[1] = {'%', 1, 10};
    s.SaveDat[3] = {'1', 1, 13};
    s.SaveDat[4] = {'<', 1, 10};
    quillonuitest::writeHandOff(800, BuildPara0(s), BuildPara1(s, *LimitsOf(800)));
    testsupport::RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    const char *files[] = {"quillon-data-kind.png", "quillon-collation.png", "quillon-saving.png"};
    for (int page = 0; page < 3; ++page) {
        form.showPage(page);
        form.TreeView1->setCurrentItem(form.TreeView1->topLevelItem(page));
        emit form.TreeView1->itemClicked(form.TreeView1->topLevelItem(page), 0);
        testsupport::shootDialog(form, QString::fromLatin1(files[page]));
    }

    TBarDat bar = form.KKBarDat;
    bar.BChkMode = 1;
    bar.BChkStr = QStringLiteral("49");
    bool changed = false;
    TSetBarCodeForm barcode(bar, changed, *LimitsOf(1300), 1300, QStringLiteral("品番"));
    testsupport::shootDialog(barcode, QStringLiteral("quillon-barcode.png"));
    TBzDat bz = DefaultNgBz();
    TSetBzForm signal(bz, changed, u'N', 800);
    testsupport::shootDialog(signal, QStringLiteral("quillon-signal.png"));
}
