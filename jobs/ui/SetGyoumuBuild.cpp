// The editor's controls and their layout; every control the system names carries that name.

#include "SetGyoumu.h"

#include "DialogSize.h"

#include "common/ui/Caption.h"
#include "common/ui/FilteredLineEdit.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "jobs/LetterCodes.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using formkit::named;

namespace {

TListCombo *listBox(const char *name, const QStringList &items, QWidget *parent)
{
    auto *box = named(new TListCombo(parent), name);
    box->addItems(items);
    return box;
}

TNEdit *numberEdit(const char *name, int digits, int minimum, int maximum, QWidget *parent)
{
    auto *edit = named(new TNEdit(parent), name);
    edit->SetMaxDegits(digits);
    edit->SetMinValue(minimum);
    edit->SetMaxValue(maximum);
    edit->setMaxLength(digits);
    edit->setFixedWidth(16 + 9 * digits);
    return edit;
}

QLineEdit *textEdit(const char *name, int maxLength, int width, QWidget *parent)
{
    // Filtered, so that characters a job file cannot hold are refused where they are entered.
    auto *edit = named(new FilteredLineEdit(parent), name);
    edit->setMaxLength(maxLength);
    edit->setFixedWidth(width);
    return edit;
}

QLabel *titlePanel(const char *name, const QString &caption, QWidget *parent)
{
    auto *panel = named(new QLabel(caption, parent), name);
    panel->setAlignment(Qt::AlignCenter);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setFixedHeight(22);
    return panel;
}

// A field with its label before it and an optional unit after it, on one grid row.
void addRow(QGridLayout *grid, int row, QLabel *label, QWidget *field, const QString &unit = QString())
{
    caption::link(label, field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1, Qt::AlignLeft);
    if (!unit.isEmpty())
        grid->addWidget(new QLabel(unit, field->parentWidget()), row, 2);
}

QLabel *label(const QString &text, QWidget *parent)
{
    return new QLabel(text, parent);
}

} // namespace

TSetGyForm::TSetGyForm(const QString &appPath, const QString &comPort, int comSpeed, QWidget *parent)
    : QDialog(parent), AppPath(appPath), ComPort(comPort), ComSpeed(comSpeed),
      set_(std::make_unique<TSetData>())
{
    setObjectName(QStringLiteral("SetGyForm"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    buildToolBars();

    SelectPanel = titlePanel("SelectPanel", QStringLiteral("設定画面選択"), this);
    DspList = named(new QListWidget(this), "DspList");
    DspList->addItems({QStringLiteral("基本設定"), QStringLiteral("動作設定")});
    DspList->setCurrentRow(0);
    DspList->setFixedHeight(44);
    GMenuTitleP = titlePanel("GMenuTitleP", QStringLiteral("業務メニュー"), this);
    GMenuList = named(new QListWidget(this), "GMenuList");
    caption::link(SelectPanel, DspList);
    caption::link(GMenuTitleP, GMenuList);

    PageControl1 = named(new QStackedWidget(this), "PageControl1");
    SetBase = buildBasePage();
    SetGyoumu = buildJobPage();
    PageControl1->addWidget(SetBase);
    PageControl1->addWidget(SetGyoumu);

    GamenTitleP = titlePanel("GamenTitleP", QStringLiteral("ＢＨＴ－８００画面"), this);
    GamenPanel = named(new QFrame(this), "GamenPanel");
    buildPreview();

    auto *left = new QVBoxLayout;
    left->addWidget(SelectPanel);
    left->addWidget(DspList);
    left->addWidget(GMenuTitleP);
    left->addWidget(GMenuList, 1);
    // Holds the column to the top while the job menu is hidden.
    left->addStretch(0);
    auto *leftPanel = new QWidget(this);
    leftPanel->setLayout(left);
    leftPanel->setFixedWidth(170);
    left->setContentsMargins(0, 0, 0, 0);

    auto *right = new QVBoxLayout;
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(GamenTitleP);
    right->addWidget(GamenPanel);
    right->addStretch(1);
    auto *rightPanel = new QWidget(this);
    rightPanel->setLayout(right);

    auto *body = new QHBoxLayout;
    body->addWidget(leftPanel);
    body->addWidget(PageControl1, 1);
    body->addWidget(rightPanel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ToolBar1);
    layout->addWidget(ToolBar2);
    layout->addLayout(body, 1);
    // While no set is open the editing area is hidden: the tool bars stay at the top.
    layout->addStretch(0);
    // Fields and their units stay together at the left of each row.
    for (QGridLayout *grid : findChildren<QGridLayout *>())
        grid->setColumnStretch(3, 1);

    connect(DspList, &QListWidget::itemClicked, this, &TSetGyForm::DspListClick);
    connect(GMenuList, &QListWidget::itemClicked, this, &TSetGyForm::GMenuListClick);
    connect(GroupList, &QListWidget::itemClicked, this, &TSetGyForm::GroupListClick);
    connect(DataList, &QListWidget::itemClicked, this, &TSetGyForm::DataListClick);
    connect(AddInSetBtn, &QPushButton::clicked, this, &TSetGyForm::AddInSetBtnClick);
    connectBasePage();

    connectJobEdit();
    // One size from the start, the size of the editing area with every page and panel in it: the
    // window neither grows when a set is opened nor shrinks when it is closed.
    keepLargestSize(*this, 1, [](int) {});
    FormCreate();
}

TSetGyForm::~TSetGyForm()
{
    // Destroying the lists sends them events while this form is already gone.
    delete listEvents_;
}

void TSetGyForm::buildToolBars()
{
    // Most of these buttons open a modal dialog.
    caption::pressToolButtonsAfterTheCall();
    ToolBar1 = named(new QToolBar(this), "ToolBar1");
    ToolBar2 = named(new QToolBar(this), "ToolBar2");
    const auto tool = [this](QToolBar *bar, const char *name, const QString &caption,
                             void (TSetGyForm::*handler)()) {
        QToolButton *b = formkit::toolButton(bar, name, caption);
        if (handler != nullptr)
            connect(b, &QToolButton::clicked, this, handler);
        return b;
    };
    NewTBtn = tool(ToolBar1, "NewTBtn", QStringLiteral("新規作成"), &TSetGyForm::NewTBtnClick);
    OpenTBtn = tool(ToolBar1, "OpenTBtn", QStringLiteral("開く"), &TSetGyForm::OpenTBtnClick);
    SaveTBtn = tool(ToolBar1, "SaveTBtn", QStringLiteral("保存"), &TSetGyForm::SaveTBtnClick);
    SDataTBtn = tool(ToolBar1, "SDataTBtn", QStringLiteral("送信ﾃﾞｰﾀﾚｲｱｳﾄ表示"), &TSetGyForm::SDataTBtnClick);
    SGDatTBtn = tool(ToolBar1, "SGDatTBtn", QStringLiteral("業務設定送信"), &TSetGyForm::SGDatTBtnClick);
    RGDatTBtn = tool(ToolBar1, "RGDatTBtn", QStringLiteral("業務設定受信"), &TSetGyForm::RGDatTBtnClick);
    CloseTBtn = tool(ToolBar1, "CloseTBtn", QStringLiteral("閉じる"), &TSetGyForm::CloseTBtnClick);
    EndTBtn = tool(ToolBar1, "EndTBtn", QStringLiteral("終了"), &TSetGyForm::EndTBtnClick);
    // Adding and deleting jobs and items come with the list editing.
    GyNewBtn = tool(ToolBar2, "GyNewBtn", QStringLiteral("業務追加"), nullptr);
    GyDelBtn = tool(ToolBar2, "GyDelBtn", QStringLiteral("業務削除"), nullptr);
    GrNewBtn = tool(ToolBar2, "GrNewBtn", QStringLiteral("ｸﾞﾙｰﾌﾟ項目追加"), nullptr);
    GrDelBtn = tool(ToolBar2, "GrDelBtn", QStringLiteral("ｸﾞﾙｰﾌﾟ項目削除"), nullptr);
    DaNewBtn = tool(ToolBar2, "DaNewBtn", QStringLiteral("ﾃﾞｰﾀ項目追加"), nullptr);
    DaDelBtn = tool(ToolBar2, "DaDelBtn", QStringLiteral("ﾃﾞｰﾀ項目削除"), nullptr);
}

QWidget *TSetGyForm::buildBasePage()
{
    auto *page = named(new QWidget(this), "SetBase");

    APOffTimeNE = numberEdit("APOffTimeNE", 3, 0, 546, page);
    DspErrTimeNE = numberEdit("DspErrTimeNE", 2, 0, 99, page);
    auto *times = new QGridLayout;
    addRow(times, 0, label(QStringLiteral("ｵｰﾄﾊﾟﾜｰｵﾌ時間"), page), APOffTimeNE, QStringLiteral("分"));
    addRow(times, 1, label(QStringLiteral("ｴﾗｰﾒｯｾｰｼﾞ表示時間"), page), DspErrTimeNE,
           QStringLiteral("1/10秒"));

    auto *barGroup = named(new QGroupBox(QStringLiteral("バーコード読取条件"), page), "BarGroup");
    Bar2ReadNE = numberEdit("Bar2ReadNE", 3, 0, 255, barGroup);
    BarSModeCB = listBox("BarSModeCB",
                         {QStringLiteral("トリガＯＮオートオフ"), QStringLiteral("トリガＯＮ同種コード連続"),
                          QStringLiteral("トリガフリー連続")},
                         barGroup);
    auto *barGrid = new QGridLayout(barGroup);
    addRow(barGrid, 0, label(QStringLiteral("２度読み防止時間"), barGroup), Bar2ReadNE,
           QStringLiteral("1/10秒"));
    addRow(barGrid, 1, label(QStringLiteral("読取動作"), barGroup), BarSModeCB);

    auto *bzGroup = named(new QGroupBox(QStringLiteral("確認/警告ブザー設定"), page), "BzGroup");
    BzList = named(new QListWidget(bzGroup), "BzList");
    BzList->addItems(BzEventNames());
    BzList->setFixedWidth(150);
    caption::name(BzList, bzGroup->title());
    WavFileSE = textEdit("WavFileSE", 12, 110, bzGroup);
    WavFileSE->setToolTip(QStringLiteral("WAVファイル名を入力してください"));
    BzHzNE = numberEdit("BzHzNE", 4, 0, 5000, bzGroup);
    BzCountNE = numberEdit("BzCountNE", 2, 0, 99, bzGroup);
    BzOnTimeNE = numberEdit("BzOnTimeNE", 2, 1, 99, bzGroup);
    BzOffTimeNE = numberEdit("BzOffTimeNE", 2, 1, 99, bzGroup);
    auto *bzFields = new QGridLayout;
    addRow(bzFields, 0, label(QStringLiteral("WAVファイル"), bzGroup), WavFileSE);
    addRow(bzFields, 1, label(QStringLiteral("周波数"), bzGroup), BzHzNE, QStringLiteral("Ｈｚ"));
    addRow(bzFields, 2, label(QStringLiteral("鳴動回数"), bzGroup), BzCountNE, QStringLiteral("回"));
    addRow(bzFields, 3, label(QStringLiteral("鳴動時間"), bzGroup), BzOnTimeNE, QStringLiteral("1/10秒"));
    addRow(bzFields, 4, label(QStringLiteral("休止時間"), bzGroup), BzOffTimeNE, QStringLiteral("1/10秒"));
    bzFields->setRowStretch(5, 1);
    auto *bzRow = new QHBoxLayout(bzGroup);
    bzRow->addWidget(BzList);
    bzRow->addLayout(bzFields);

    auto *prgGroup = named(new QGroupBox(QStringLiteral("アドイン通信プログラム"), page), "ComPrgGroup");
    ComPrgSE1 = textEdit("ComPrgSE1", 12, 110, prgGroup);
    ComPrgSE2 = textEdit("ComPrgSE2", 12, 110, prgGroup);
    caption::name(ComPrgSE1, prgGroup->title() + QLatin1Char('1'));
    caption::name(ComPrgSE2, prgGroup->title() + QLatin1Char('2'));
    for (QLineEdit *edit : {ComPrgSE1, ComPrgSE2})
        edit->setToolTip(QStringLiteral("追加通信プログラムのファイル名を入力してください"));
    auto *prgGrid = new QGridLayout(prgGroup);
    prgGrid->addWidget(ComPrgSE1, 0, 0);
    prgGrid->addWidget(ComPrgSE2, 1, 0);
    prgGrid->addWidget(
        label(QStringLiteral("使用するアドイン通信プログラムの\nファイル名を入力してください"), prgGroup), 0,
        1, 2, 1);

    DataFtpCB = listBox("DataFtpCB", ComModeNames(), page);
    SetBluetooth = formkit::button("SetBluetooth", QStringLiteral("Bluetooth設定"), page);
    SendDelCB = listBox("SendDelCB", SendDelItems(), page);
    SubMenuChk = named(new QCheckBox(QStringLiteral("サブメニュー表示"), page), "SubMenuChk");
    ShoriMenuChk = named(new QCheckBox(QStringLiteral("処理メニュー表示"), page), "ShoriMenuChk");
    EditModeChk = named(new QCheckBox(QStringLiteral("保存ﾃﾞｰﾀ修正機能"), page), "EditModeChk");

    auto *lower = new QGridLayout;
    addRow(lower, 0, label(QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙ転送ﾌﾟﾛﾄｺﾙ"), page), DataFtpCB);
    auto *btRow = new QHBoxLayout;
    btRow->addWidget(SetBluetooth);
    btRow->addWidget(label(
        QStringLiteral("Bluetooth搭載機種の場合は、左の設定ボタン\nをクリックして設定してください。"), page));
    btRow->addStretch(1);
    lower->addLayout(btRow, 1, 0, 1, 3);
    addRow(lower, 2, label(QStringLiteral("送信完了後のデータ消去"), page), SendDelCB);
    lower->addWidget(SubMenuChk, 3, 0, 1, 2);
    lower->addWidget(ShoriMenuChk, 4, 0, 1, 2);
    lower->addWidget(EditModeChk, 5, 0, 1, 2);

    // Two columns: the terminal's own settings at the left, its communication and menus at the right.
    auto *leftColumn = new QVBoxLayout;
    leftColumn->addLayout(times);
    leftColumn->addWidget(barGroup);
    leftColumn->addWidget(bzGroup);
    leftColumn->addStretch(1);
    auto *rightColumn = new QVBoxLayout;
    rightColumn->addWidget(prgGroup);
    rightColumn->addLayout(lower);
    rightColumn->addStretch(1);
    auto *layout = new QHBoxLayout(page);
    layout->setContentsMargins(4, 0, 0, 0);
    layout->addLayout(leftColumn);
    layout->addSpacing(12);
    layout->addLayout(rightColumn);
    layout->addStretch(1);
    return page;
}

QWidget *TSetGyForm::buildJobPage()
{
    auto *page = named(new QWidget(this), "SetGyoumu");

    GNameSE = textEdit("GNameSE", 15, 150, page);
    GModeCB = listBox("GModeCB", GyModeItems(), page);
    ProgLabel = named(label(QStringLiteral("ﾌﾟﾛｸﾞﾗﾑ名"), page), "ProgLabel");
    PNameSE = textEdit("PNameSE", 12, 110, page);
    AddInSetBtn = formkit::button("AddInSetBtn", QStringLiteral("アドインプログラム設定"), page);
    auto *head = new QGridLayout;
    head->setVerticalSpacing(4);
    addRow(head, 0, label(QStringLiteral("業務名"), page), GNameSE, QStringLiteral("（半角１５文字以内）"));
    addRow(head, 1, label(QStringLiteral("動作モード"), page), GModeCB);
    // The add-in program of an X job beside its mode: the rows below stay where they are.
    auto *prgRow = new QHBoxLayout;
    caption::link(ProgLabel, PNameSE);
    prgRow->addWidget(ProgLabel);
    prgRow->addWidget(PNameSE);
    prgRow->addWidget(AddInSetBtn);
    prgRow->addStretch(1);
    head->addLayout(prgRow, 1, 2, 1, 2);

    SaveGroup = named(new QGroupBox(QStringLiteral("保存ファイル"), page), "SaveGroup");
    FNameSE = textEdit("FNameSE", 12, 110, SaveGroup);
    TStampCB = listBox("TStampCB", TStampItems(), SaveGroup);
    TSLocCB = listBox("TSLocCB", TSLocItems(), SaveGroup);
    AddIDChkCB = named(new QCheckBox(QStringLiteral("HtNoをﾃﾞｰﾀに付加"), SaveGroup), "AddIDChkCB");
    auto *saveGrid = new QGridLayout(SaveGroup);
    saveGrid->setContentsMargins(8, 4, 8, 4);
    saveGrid->setVerticalSpacing(4);
    addRow(saveGrid, 0, label(QStringLiteral("ファイル名"), SaveGroup), FNameSE,
           QStringLiteral("（データ保存をしない場合は空欄）"));
    auto *stampRow = new QHBoxLayout;
    stampRow->addWidget(TStampCB);
    stampRow->addWidget(TSLocCB);
    stampRow->addSpacing(12);
    stampRow->addWidget(AddIDChkCB);
    stampRow->addStretch(1);
    saveGrid->addWidget(caption::label(QStringLiteral("ﾀｲﾑｽﾀﾝﾌﾟ"), TStampCB, SaveGroup), 1, 0);
    // Where the stamp goes: the second half of the same caption.
    caption::name(TSLocCB, QStringLiteral("ﾀｲﾑｽﾀﾝﾌﾟ"));
    saveGrid->addLayout(stampRow, 1, 1, 1, 2);
    DspTotalChk = named(new QCheckBox(QStringLiteral("合計数量表示"), page), "DspTotalChk");

    RcvProtoPanel = named(new QFrame(page), "RcvProtoPanel");
    RcvProtoCB = listBox("RcvProtoCB", ComModeNames(), RcvProtoPanel);
    RNameSE = textEdit("RNameSE", 12, 110, RcvProtoPanel);
    auto *rcvGrid = new QGridLayout(RcvProtoPanel);
    rcvGrid->setContentsMargins(0, 0, 0, 0);
    addRow(rcvGrid, 0, label(QStringLiteral("ﾌｧｲﾙ転送ﾌﾟﾛﾄｺﾙ"), RcvProtoPanel), RcvProtoCB);
    addRow(rcvGrid, 1, label(QStringLiteral("受信ﾌｧｲﾙ名"), RcvProtoPanel), RNameSE);

    GrPanel = titlePanel("GrPanel", QStringLiteral("グループ項目"), page);
    GroupList = named(new QListWidget(page), "GroupList");
    DaPanel = titlePanel("DaPanel", QStringLiteral("データ項目"), page);
    DataList = named(new QListWidget(page), "DataList");
    for (QListWidget *list : {GroupList, DataList})
        list->setFixedWidth(150);
    caption::link(GrPanel, GroupList);
    caption::link(DaPanel, DataList);

    KoNameGroup = named(new QGroupBox(QStringLiteral("項目名"), page), "KoNameGroup");
    KNameSE = textEdit("KNameSE", 20, 170, KoNameGroup);
    KNFColorCB = listBox("KNFColorCB", ColourItems(), KoNameGroup);
    KNBColorCB = listBox("KNBColorCB", ColourItems(), KoNameGroup);
    auto *nameRow = new QHBoxLayout(KoNameGroup);
    nameRow->setContentsMargins(8, 4, 8, 4);
    nameRow->addWidget(caption::label(QStringLiteral("表示文字列"), KNameSE, KoNameGroup));
    nameRow->addWidget(KNameSE);
    nameRow->addWidget(label(QStringLiteral("（半角２０文字以内）"), KoNameGroup));
    nameRow->addSpacing(8);
    nameRow->addWidget(caption::label(QStringLiteral("文字色"), KNFColorCB, KoNameGroup));
    nameRow->addWidget(KNFColorCB);
    nameRow->addWidget(caption::label(QStringLiteral("文字背景色"), KNBColorCB, KoNameGroup));
    nameRow->addWidget(KNBColorCB);
    nameRow->addStretch(1);

    KoDataGroup = named(new QGroupBox(QStringLiteral("項目データ"), page), "KoDataGroup");
    KDSizeCB = listBox("KDSizeCB", {QStringLiteral("標準"), QStringLiteral("横倍")}, KoDataGroup);
    KDFColorCB = listBox("KDFColorCB", ColourItems(), KoDataGroup);
    KDBColorCB = listBox("KDBColorCB", ColourItems(), KoDataGroup);
    KDTypeCB = listBox("KDTypeCB", DataTypeItems(), KoDataGroup);
    KDLenLabel = named(label(QStringLiteral("データ桁数"), KoDataGroup), "KDLenLabel");
    KDLenNE = numberEdit("KDLenNE", 4, 1, MaxDataLen, KoDataGroup);
    KDInpLabel = named(label(QStringLiteral("入力方法"), KoDataGroup), "KDInpLabel");
    KDInpCB = listBox("KDInpCB", InputItems(), KoDataGroup);
    KDSaveChk = named(new QCheckBox(QStringLiteral("ﾃﾞｰﾀ保存する"), KoDataGroup), "KDSaveChk");
    SetBarCode = formkit::button("SetBarCode", QStringLiteral("ﾊﾞｰｺｰﾄﾞ設定"), KoDataGroup);
    // Three columns of label and field: the display, the data, the input.
    auto *dataGrid = new QGridLayout(KoDataGroup);
    dataGrid->setContentsMargins(8, 4, 8, 4);
    dataGrid->setVerticalSpacing(4);
    const auto cell = [dataGrid](int row, int column, QLabel *caption, QWidget *field) {
        caption::link(caption, field);
        dataGrid->addWidget(caption, row, 2 * column);
        dataGrid->addWidget(field, row, 2 * column + 1, Qt::AlignLeft);
    };
    cell(0, 0, label(QStringLiteral("データ表示"), KoDataGroup), KDSizeCB);
    cell(0, 1, label(QStringLiteral("文字色"), KoDataGroup), KDFColorCB);
    cell(0, 2, label(QStringLiteral("文字背景色"), KoDataGroup), KDBColorCB);
    cell(1, 0, label(QStringLiteral("データ形式"), KoDataGroup), KDTypeCB);
    cell(1, 1, KDLenLabel, KDLenNE);
    cell(2, 0, KDInpLabel, KDInpCB);
    dataGrid->addWidget(KDSaveChk, 2, 2, 1, 2);
    dataGrid->addWidget(SetBarCode, 2, 4, 1, 2, Qt::AlignLeft);
    dataGrid->setColumnStretch(6, 1);

    InpDefPanel = named(new QFrame(page), "InpDefPanel");
    DefaultLabel = named(label(QStringLiteral("入力初期値"), InpDefPanel), "DefaultLabel");
    DefaultCB = listBox("DefaultCB", {}, InpDefPanel);
    DefaultDatSE = textEdit("DefaultDatSE", 64, 280, InpDefPanel);
    DefaultDatNE = numberEdit("DefaultDatNE", 10, 0, 2147483647, InpDefPanel);
    DoubleLabel = named(label(QStringLiteral("重複処理"), InpDefPanel), "DoubleLabel");
    DoubleChkCB = listBox("DoubleChkCB", DoubleItems(), InpDefPanel);
    InpLimitLabel = named(label(QStringLiteral("入力制限"), InpDefPanel), "InpLimitLabel");
    MaxLabel = named(label(QStringLiteral("最大桁数"), InpDefPanel), "MaxLabel");
    KDMaxNE = numberEdit("KDMaxNE", 4, 1, MaxDataLen, InpDefPanel);
    MinLabel = named(label(QStringLiteral("最小桁数"), InpDefPanel), "MinLabel");
    KDMinNE = numberEdit("KDMinNE", 4, 0, MaxDataLen, InpDefPanel);
    AddNumChk = named(new QCheckBox(QStringLiteral("同一ﾃﾞｰﾀの場合に数値を加算"), InpDefPanel), "AddNumChk");
    auto *inpGrid = new QGridLayout(InpDefPanel);
    inpGrid->setContentsMargins(0, 0, 0, 0);
    inpGrid->setVerticalSpacing(4);
    auto *defaultRow = new QHBoxLayout;
    defaultRow->setSpacing(6);
    defaultRow->addWidget(DefaultCB);
    defaultRow->addWidget(DefaultDatSE);
    defaultRow->addWidget(DefaultDatNE);
    defaultRow->addStretch(1);
    caption::link(DefaultLabel, DefaultCB);
    // The value shown beside the choice, as text or as a number by the item's data type.
    caption::name(DefaultDatSE, DefaultLabel->text());
    caption::name(DefaultDatNE, DefaultLabel->text());
    inpGrid->addWidget(DefaultLabel, 0, 0);
    inpGrid->addLayout(defaultRow, 0, 1, 1, 3);
    auto *limitRow = new QHBoxLayout;
    limitRow->setSpacing(6);
    caption::link(MaxLabel, KDMaxNE);
    caption::link(MinLabel, KDMinNE);
    limitRow->addWidget(MaxLabel);
    limitRow->addWidget(KDMaxNE);
    limitRow->addWidget(MinLabel);
    limitRow->addWidget(KDMinNE);
    limitRow->addStretch(1);
    inpGrid->addWidget(InpLimitLabel, 1, 0);
    inpGrid->addLayout(limitRow, 1, 1, 1, 3);
    // The duplicate rule belongs to the first data item, adding up to the last: never both at once.
    auto *doubleRow = new QHBoxLayout;
    doubleRow->setSpacing(6);
    doubleRow->addWidget(DoubleChkCB);
    doubleRow->addWidget(AddNumChk);
    doubleRow->addStretch(1);
    caption::link(DoubleLabel, DoubleChkCB);
    inpGrid->addWidget(DoubleLabel, 2, 0);
    inpGrid->addLayout(doubleRow, 2, 1, 1, 3);

    KDNextCB = listBox("KDNextCB", {}, InpDefPanel);
    KDNextCB->setMinimumWidth(160);
    KDNextTmNE = numberEdit("KDNextTmNE", 3, 0, 999, InpDefPanel);
    auto *nextRow = new QHBoxLayout;
    nextRow->setSpacing(6);
    nextRow->addWidget(KDNextCB);
    nextRow->addWidget(caption::label(QStringLiteral("タイマー"), KDNextTmNE, InpDefPanel));
    nextRow->addWidget(KDNextTmNE);
    nextRow->addWidget(label(QStringLiteral("1/10秒"), InpDefPanel));
    nextRow->addStretch(1);
    inpGrid->addWidget(caption::label(QStringLiteral("入力後移動"), KDNextCB, InpDefPanel), 3, 0);
    inpGrid->addLayout(nextRow, 3, 1, 1, 3);

    MstGroup = named(new QGroupBox(QStringLiteral("マスター参照"), page), "MstGroup");
    UseMasterChk = named(new QCheckBox(QStringLiteral("使用する"), MstGroup), "UseMasterChk");
    SetMasterBtn = formkit::button("SetMasterBtn", QStringLiteral("設定"), MstGroup);
    auto *mstRow = new QHBoxLayout(MstGroup);
    mstRow->setContentsMargins(8, 4, 8, 4);
    mstRow->addWidget(UseMasterChk);
    mstRow->addWidget(SetMasterBtn);
    mstRow->addStretch(1);

    // Enter moves along the page's chain instead of pressing a button.
    for (QWidget *w : std::initializer_list<QWidget *>{
             GNameSE,      GModeCB,   PNameSE,     RNameSE,    RcvProtoCB, FNameSE,   AddIDChkCB,
             TStampCB,     TSLocCB,   KNameSE,     KNFColorCB, KNBColorCB, KDSizeCB,  KDFColorCB,
             KDBColorCB,   KDTypeCB,  KDLenNE,     KDMaxNE,    KDMinNE,    DefaultCB, DefaultDatSE,
             DefaultDatNE, AddNumChk, DoubleChkCB, KDNextCB})
        w->installEventFilter(this);

    auto *lists = new QVBoxLayout;
    lists->addWidget(GrPanel);
    lists->addWidget(GroupList, 1);
    lists->addWidget(DaPanel);
    lists->addWidget(DataList, 1);

    auto *item = new QVBoxLayout;
    item->addWidget(KoNameGroup);
    item->addWidget(KoDataGroup);
    item->addWidget(InpDefPanel);
    item->addWidget(MstGroup);
    item->addStretch(1);

    auto *itemArea = new QHBoxLayout;
    itemArea->addLayout(lists);
    itemArea->addLayout(item, 1);

    // A job shows its save file (A, B), its receive file (R, r) or neither: one place for both.
    auto *fileArea = new QGridLayout;
    auto *saveRow = new QHBoxLayout;
    saveRow->addWidget(SaveGroup);
    saveRow->addWidget(DspTotalChk, 0, Qt::AlignBottom);
    saveRow->addStretch(1);
    fileArea->addLayout(saveRow, 0, 0);
    fileArea->addWidget(RcvProtoPanel, 0, 0, Qt::AlignLeft | Qt::AlignTop);

    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 0, 0, 0);
    layout->setSpacing(6);
    layout->addLayout(head);
    layout->addLayout(fileArea);
    layout->addLayout(itemArea, 1);
    return page;
}

QWidget *TSetGyForm::buildPreview()
{
    GamenPanel->setFixedSize(PreviewPanelWidth, PreviewPanelHeight);
    GamenPanel->setFrameShape(QFrame::Box);
    GamenPanel->setAutoFillBackground(true);
    QPalette palette = GamenPanel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    GamenPanel->setPalette(palette);
    // The terminal's font: full-width characters take two of its 7-pixel columns.
    QFont screenFont(QStringLiteral("IPAGothic"));
    screenFont.setPixelSize(PreviewRowHeight - 1);
    screenFont.setStyleHint(QFont::Monospace);
    GamenPanel->setFont(screenFont);
    const auto panelLabel = [this](const QString &name) {
        auto *l = new QLabel(GamenPanel);
        l->setObjectName(name);
        l->setAutoFillBackground(true);
        l->setContentsMargins(0, 0, 0, 0);
        l->hide();
        return l;
    };
    TitleLabel = panelLabel(QStringLiteral("TitleLabel"));
    for (int k = 0; k < PreviewNameLabels; ++k)
        pKLabel[k] = panelLabel(QStringLiteral("K%1Label").arg(k + 1));
    for (int r = 0; r < PreviewDataRows; ++r)
        pDLabel[r] = panelLabel(QStringLiteral("D%1Label").arg(r + 1));
    S1Label = panelLabel(QStringLiteral("S1Label"));
    TotalLabel = panelLabel(QStringLiteral("TotalLabel"));
    // The function-key line gives two full-width characters 24 pixels: a smaller face, or they are cut.
    QFont keyFont = screenFont;
    keyFont.setPixelSize(12);
    for (int g = 0; g < PreviewKeyLabels; ++g) {
        pGLabel[g] = panelLabel(QStringLiteral("G%1Label").arg(g + 1));
        pGLabel[g]->setFont(keyFont);
    }
    return GamenPanel;
}
