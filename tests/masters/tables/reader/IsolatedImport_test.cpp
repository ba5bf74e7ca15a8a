#include "DamagedFiles.h"

#include "masters/MasterEditModel.h"
#include "masters/MasterImport.h"
#include "tests/masters/MasterTestSupport.h"
#include "tests/support/RecordingUiService.h"

#include <gtest/gtest.h>

using namespace masterstest;
using namespace readertest;

namespace {

// The editor's import command over a damaged file, read by the reader program as the editor reads
// it: the operator picks the first table and its first column for every field.
class IsolatedImport : public testing::TestWithParam<const char *> {
protected:
    void SetUp() override
    {
        hooks.openSource = [](const QString &path, QString &) {
            return masters::tables::makeChildTableSource(readerProgram(), path);
        };
        hooks.selectTable = [this](masters::tables::TableSource &source, const QStringList &tables,
                                   const std::vector<int> &widths, masters::tables::RecordSink &sink) {
            masters::TableRun run;
            tablesListed = true;
            const masters::tables::ImportOutcome outcome = masters::tables::importTable(
                source, tables.value(0), masters::tables::FieldAssignment{{0, 0}},
                QList<int>(widths.begin(), widths.end()), sink);
            run.ImportCount = outcome.count;
            if (outcome.ok)
                run.ImportTable = tables.value(0);
            else
                run.error = outcome.error;
            return run;
        };
    }

    masters::ImportHooks hooks;
    bool tablesListed = false;
    testsupport::RecordingUiService ui;
    masters::MasterEditModel model{ui};
};

QString damaged(const char *what)
{
    const QByteArray name(what);
    const QByteArray products = fileBytes(workbook("products.xls"));
    if (name == "xls_rk_length")
        return caseFile(QStringLiteral("rk.xls"), withRecordLength(products, RkRecord, 0, 1, 1));
    if (name == "xls_row_length")
        return caseFile(QStringLiteral("row.xls"), withRecordLength(products, RowRecord, 4, 0, 0));
    return workbook(what);
}

INSTANTIATE_TEST_SUITE_P(
    Attack, IsolatedImport, testing::Values("xls_rk_length", "xls_row_length", "encrypted.xls", "biff4.xls"),
    [](const testing::TestParamInfo<const char *> &info) {
        return QString::fromUtf8(info.param).replace(u'-', u'_').replace(u'.', u'_').toStdString();
    });

TEST_P(IsolatedImport, LeavesTheOpenMasterAsItWasAndSaysSo)
{
    const QString source = damaged(GetParam());
    ASSERT_FALSE(source.isEmpty());
    const QString master = casePath(QStringLiteral("m/goods.dat"));
    const QByteArray records = rawRecord({"A1", "OLD"}, {4, 6}) + rawRecord({"A2", "OLD"}, {4, 6});
    ASSERT_TRUE(writeFile(master, records));
    ASSERT_TRUE(writeFile(casePath(QStringLiteral("m/goods.fld")), "4,6\r\n"));
    ASSERT_TRUE(model.openFile(master, {}));
    const QByteArray before = readFile(model.TmpMst);
    ASSERT_EQ(before, records);

    QString folder, file;
    ui.queueFileName(source);
    const masters::ImportResult result = model.ImportBtnClick(folder, file, hooks);

    EXPECT_FALSE(result.imported);
    const std::vector<testsupport::UiEvent> boxes = ui.messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    // The reader's reason follows: a damaged sheet cannot be read, a workbook is encrypted or of a
    // format it cannot read.
    EXPECT_TRUE(boxes[0].text.startsWith(tablesListed ? QStringLiteral("シート「商品」を読み込めません。(")
                                                      : masters::ConnectErrorText +
                                                            QStringLiteral("\r\nExcelファイル「")))
        << boxes[0].text.toStdString();
    // Listing fails under the connection's caption; a run cut short under the import's.
    EXPECT_EQ(boxes[0].caption, tablesListed ? masters::ImportCaption : masters::ConnectErrorCaption);
    EXPECT_TRUE(model.EditFlag);
    EXPECT_FALSE(model.ChangeFlag);
    EXPECT_EQ(readFile(model.TmpMst), before);
}

} // namespace
