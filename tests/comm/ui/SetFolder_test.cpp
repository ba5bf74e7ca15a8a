#include "comm/SetFolderRules.h"
#include "comm/ui/SetFolder.h"
#include "tests/support/RecordingUiService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

// Readable values in failure messages; static, so no other test file's printers collide.
static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

QTreeView *folderTree(QDialog &form)
{
    return form.findChild<QTreeView *>(QStringLiteral("FolderTree"));
}

QFileSystemModel *folderModel(QDialog &form)
{
    return qobject_cast<QFileSystemModel *>(folderTree(form)->model());
}

void click(QDialog &form, const char *button)
{
    form.findChild<QPushButton *>(QString::fromLatin1(button))->click();
}

bool inSight(QTreeView *tree, const QModelIndex &index)
{
    return index.isValid() && tree->viewport()->rect().contains(tree->visualRect(index).center());
}

class SetFolderForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetFolderMode = 0;
        SetFolderPath.clear();
        ASSERT_TRUE(dir.isValid());
        base = QFileInfo(dir.path()).canonicalFilePath();
        if (comm::isNetworkFolder(base))
            GTEST_SKIP() << "the temporary folder is on a network file system";
    }

    QString makeFolder(const QString &relative)
    {
        const QString path = base + QLatin1Char('/') + relative;
        EXPECT_TRUE(QDir().mkpath(path)) << path.toStdString();
        return path;
    }

    // Waits until the model has read the folder's entries.
    static bool waitUntilRead(QFileSystemModel *model, const QString &folder, int rows)
    {
        return QTest::qWaitFor([&] { return model->rowCount(model->index(folder)) == rows; }, 10000);
    }

    testsupport::RecordingUi ui;
    QTemporaryDir dir;
    QString base;
};

TEST_F(SetFolderForm, CaptionFollowsTheMode)
{
    const struct {
        int mode;
        const char *caption;
    } cases[] = {
        {1, "通信履歴保存フォルダ設定"},
        {2, "受信デフォルトフォルダ設定"},
        {3, "送信デフォルトフォルダ設定"},
    };
    for (const auto &c : cases) {
        SetFolderMode = c.mode;
        TSetFolderForm form;
        ui.queueForm([](QDialog &shown) { click(shown, "CancellButton"); });
        platform::ui().showModal(form);
        ASSERT_FALSE(ui.forms().empty());
        EXPECT_EQ(ui.forms().back().caption, QString::fromUtf8(c.caption)) << "mode " << c.mode;
    }
}

TEST_F(SetFolderForm, ShowsFoldersOnlyBelowTheHiddenRoot)
{
    makeFolder(QStringLiteral("visible"));
    makeFolder(QStringLiteral(".hidden"));
    QFile file(base + QStringLiteral("/file.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    TSetFolderForm form;
    QTreeView *tree = folderTree(form);
    QFileSystemModel *model = folderModel(form);
    EXPECT_EQ(model->filePath(tree->rootIndex()), QStringLiteral("/"));

    QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
    QStringList names;
    ui.queueForm([&](QDialog &shown) {
        const QModelIndex folder = model->index(base);
        tree->scrollTo(folder);
        tree->expand(folder);
        ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.contains(QVariantList{base}); }, 10000));
        for (int row = 0; row < model->rowCount(folder); ++row)
            names << model->fileName(model->index(row, 0, folder));
        shown.reject();
    });
    platform::ui().showModal(form);
    EXPECT_EQ(names, QStringList{QStringLiteral("visible")});
}

TEST_F(SetFolderForm, PreselectsTheGivenFolderAndKeepsItInSight)
{
    // Enough folders before it that it would scroll out of sight once they are read.
    for (int i = 0; i < 80; ++i)
        makeFolder(QStringLiteral("a/f%1").arg(i, 2, 10, QLatin1Char('0')));
    const QString target = makeFolder(QStringLiteral("a/zz"));
    SetFolderMode = 2;
    SetFolderPath = target + QLatin1Char('/');

    TSetFolderForm form;
    QTreeView *tree = folderTree(form);
    QFileSystemModel *model = folderModel(form);
    EXPECT_EQ(form.selectedFolder(), target);
    EXPECT_TRUE(tree->isExpanded(model->index(base + QStringLiteral("/a"))));
    EXPECT_TRUE(tree->isExpanded(model->index(base)));

    ui.queueForm([&](QDialog &shown) {
        // Read in and sorted: it is the last of its folder now.
        EXPECT_TRUE(waitUntilRead(model, base + QStringLiteral("/a"), 81));
        EXPECT_TRUE(QTest::qWaitFor([&] { return model->index(target).row() == 80; }, 10000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return inSight(tree, model->index(target)); }, 10000));
        click(shown, "OkButton");
    });
    EXPECT_EQ(platform::ui().showModal(form), QDialog::Accepted);
    EXPECT_EQ(SetFolderPath, target + QLatin1Char('/'));
}

// With nothing to show, or a folder gone, the picker starts at the current folder, not at the top.
TEST_F(SetFolderForm, StartsAtTheCurrentFolderWhenTheFieldNamesNoFolder)
{
    const QString here = makeFolder(QStringLiteral("work/here"));
    QFile file(base + QStringLiteral("/file.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(here));
    for (const QString &field :
         {QString(), base + QStringLiteral("/gone/"), base + QStringLiteral("/file.txt")}) {
        SCOPED_TRACE(field.toStdString());
        SetFolderPath = field;
        TSetFolderForm form;
        EXPECT_EQ(form.selectedFolder(), here);
        EXPECT_TRUE(folderTree(form)->isExpanded(folderModel(form)->index(base + QStringLiteral("/work"))));
        ui.queueForm([&](QDialog &shown) { click(shown, "OkButton"); });
        EXPECT_EQ(platform::ui().showModal(form), QDialog::Accepted);
        EXPECT_EQ(SetFolderPath, here + QLatin1Char('/'));
    }
    EXPECT_TRUE(QDir::setCurrent(before));
}

TEST_F(SetFolderForm, OkGivesTheClickedFolderWithASeparator)
{
    makeFolder(QStringLiteral("first"));
    const QString pick = makeFolder(QStringLiteral("pick"));
    makeFolder(QStringLiteral("zlast"));
    SetFolderMode = 1;
    SetFolderPath = makeFolder(QStringLiteral("first")) + QLatin1Char('/');

    TSetFolderForm form;
    QTreeView *tree = folderTree(form);
    QFileSystemModel *model = folderModel(form);
    ui.queueForm([&](QDialog &shown) {
        ASSERT_TRUE(waitUntilRead(model, base, 3));
        const QModelIndex item = model->index(pick);
        tree->scrollTo(item);
        ASSERT_TRUE(QTest::qWaitFor([&] { return inSight(tree, item); }, 10000));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(item).center());
        EXPECT_EQ(form.selectedFolder(), pick);
        click(shown, "OkButton");
    });
    EXPECT_EQ(platform::ui().showModal(form), QDialog::Accepted);
    EXPECT_EQ(SetFolderPath, pick + QLatin1Char('/'));
    EXPECT_EQ(ui.messageBoxCount(), 0);
}

TEST_F(SetFolderForm, EveryOtherWayOutHandsOutNoFolder)
{
    const struct {
        const char *way;
        std::function<void(QDialog &)> leave;
    } cases[] = {
        {"cancel button", [](QDialog &form) { click(form, "CancellButton"); }},
        {"escape", [](QDialog &form) { QTest::keyClick(&form, Qt::Key_Escape); }},
        {"close box", [](QDialog &form) { form.close(); }},
    };
    const QString kept = makeFolder(QStringLiteral("kept"));
    for (const auto &c : cases) {
        SetFolderPath = kept + QLatin1Char('/');
        TSetFolderForm form;
        ASSERT_EQ(form.selectedFolder(), kept) << c.way;
        ui.queueForm(c.leave);
        EXPECT_EQ(platform::ui().showModal(form), QDialog::Rejected) << c.way;
        EXPECT_FALSE(ui.forms().back().formLeftOpen) << c.way;
        EXPECT_EQ(SetFolderPath, QString()) << c.way;
    }
    EXPECT_EQ(ui.messageBoxCount(), 0);
}

TEST_F(SetFolderForm, ANetworkPathIsNotPreselectedAndOkWaitsForAChoice)
{
    SetFolderPath = QStringLiteral("//host/share/");
    TSetFolderForm form;
    EXPECT_EQ(form.selectedFolder(), QString());
    EXPECT_FALSE(form.selectFolder(QStringLiteral("//host/share")));

    ui.queueForm([&](QDialog &shown) {
        click(shown, "OkButton");
        EXPECT_TRUE(shown.isVisible());
        EXPECT_EQ(SetFolderPath, QStringLiteral("//host/share/"));
        click(shown, "CancellButton");
    });
    EXPECT_EQ(platform::ui().showModal(form), QDialog::Rejected);
    EXPECT_FALSE(ui.forms().back().formLeftOpen);
    EXPECT_EQ(ui.messageBoxCount(), 0);
}

TEST_F(SetFolderForm, AFolderOnANetworkMountIsRefusedAndThePickerStaysOpen)
{
    const QString share = makeFolder(QStringLiteral("net share"));
    const QString remote = makeFolder(QStringLiteral("net share/sub"));
    const QString local = makeFolder(QStringLiteral("local"));
    QByteArray mountPoint = QFile::encodeName(share);
    mountPoint.replace(" ", "\\040");

    SetFolderMode = 2;
    TSetFolderForm form;
    form.useMountTable("/dev/sda1 / ext4 rw 0 0\nserver:/export " + mountPoint + " nfs4 rw 0 0\n");
    ui.queueForm([&](QDialog &shown) {
        ASSERT_TRUE(form.selectFolder(remote));
        click(shown, "OkButton");
        EXPECT_TRUE(shown.isVisible());
        EXPECT_EQ(SetFolderPath, QString());
        ASSERT_EQ(ui.messageBoxCount(), 1);
        const testsupport::UiEvent box = ui.messageBoxes().front();
        EXPECT_EQ(box.text, QStringLiteral("ﾈｯﾄﾜｰｸ上のPCのﾌｫﾙﾀﾞは設定できません。"));
        EXPECT_EQ(box.caption, QStringLiteral("ﾌｫﾙﾀﾞ設定ｴﾗｰ"));
        EXPECT_EQ(box.style.icon, platform::MsgIcon::Stop);
        EXPECT_TRUE(box.style.foreground);

        // The operator picks a local folder instead.
        ASSERT_TRUE(form.selectFolder(local));
        click(shown, "OkButton");
    });
    EXPECT_EQ(platform::ui().showModal(form), QDialog::Accepted);
    EXPECT_EQ(SetFolderPath, local + QLatin1Char('/'));
    EXPECT_EQ(ui.messageBoxCount(), 1);
}

TEST_F(SetFolderForm, SelectingRefusesWhatIsNoFolderOfTheTree)
{
    const QString folder = makeFolder(QStringLiteral("folder"));
    QFile file(base + QStringLiteral("/file.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    TSetFolderForm form;
    ASSERT_TRUE(form.selectFolder(folder + QLatin1Char('/')));
    for (const QString &path : {base + QStringLiteral("/file.txt"), base + QStringLiteral("/missing"),
                                QStringLiteral("/"), QStringLiteral("\\\\host\\share"), QString()}) {
        EXPECT_FALSE(form.selectFolder(path)) << path.toStdString();
        EXPECT_EQ(form.selectedFolder(), folder) << path.toStdString();
    }
}

} // namespace
