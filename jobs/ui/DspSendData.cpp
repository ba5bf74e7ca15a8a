#include "DspSendData.h"

#include "common/ui/Caption.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// Field columns in view at once; more scroll sideways.
constexpr int VisibleFieldColumns = 5;
constexpr int FieldColumnPixels = 120;

template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A figure beyond what the terminal takes is shown in red.
void showWarning(QLabel *label, bool warn)
{
    if (!warn)
        return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(palette);
}

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

} // namespace

TSendDataForm::TSendDataForm(const TGyData &job, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SendDataForm"));
    setWindowTitle(QStringLiteral("送信データレイアウト"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    // The heading column is the grid's row header, so it stays in view while the fields scroll.
    DataStrGrid = named(new QTableWidget(2, 0, this), "DataStrGrid");
    caption::name(DataStrGrid, windowTitle());
    DataStrGrid->horizontalHeader()->hide();
    DataStrGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DataStrGrid->setSelectionMode(QAbstractItemView::NoSelection);
    DataStrGrid->setFocusPolicy(Qt::NoFocus);
    DataStrGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DataStrGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DataStrGrid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    QHeaderView *rowHeads = DataStrGrid->verticalHeader();
    rowHeads->setSectionResizeMode(QHeaderView::Fixed);
    rowHeads->setDefaultSectionSize(DataStrGrid->fontMetrics().height() + 8);

    FeildLabel = named(new QLabel(this), "FeildLabel");
    TotalLabel = named(new QLabel(this), "TotalLabel");
    FeildLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    TotalLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const int numberWidth = FeildLabel->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 4;
    FeildLabel->setMinimumWidth(numberWidth);
    TotalLabel->setMinimumWidth(numberWidth);
    EndBtn = named(new QPushButton(QStringLiteral("終了"), this), "EndBtn");
    EndBtn->setAutoDefault(false);

    auto *figures = new QHBoxLayout;
    figures->addWidget(new QLabel(QStringLiteral("フィールド数"), this));
    figures->addWidget(FeildLabel);
    figures->addSpacing(24);
    figures->addWidget(new QLabel(QStringLiteral("１レコード長"), this));
    figures->addWidget(TotalLabel);
    figures->addWidget(new QLabel(QStringLiteral("バイト"), this));
    figures->addStretch(1);
    figures->addWidget(EndBtn);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(DataStrGrid);
    layout->addLayout(figures);
    // A fixed frame, as a dialog border gives.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(EndBtn, &QPushButton::clicked, this, &TSendDataForm::EndBtnClick);

    FormShow(GetSendDataLayout(job));
}

void TSendDataForm::FormShow(const SendDataLayout &layout)
{
    setWindowTitle(layout.Caption);

    const SendDataColumn &heading = layout.Columns.first();
    DataStrGrid->setVerticalHeaderLabels({heading.Title, heading.WidthText});
    DataStrGrid->verticalHeader()->setFixedWidth(heading.PixelWidth);
    DataStrGrid->setColumnCount(int(layout.Columns.size()) - 1);
    for (int c = 1; c < layout.Columns.size(); ++c) {
        const SendDataColumn &column = layout.Columns[c];
        DataStrGrid->setItem(0, c - 1, cell(column.Title));
        DataStrGrid->setItem(1, c - 1, cell(column.WidthText));
        DataStrGrid->setColumnWidth(c - 1, column.PixelWidth);
    }
    const int frame = 2 * DataStrGrid->frameWidth();
    DataStrGrid->setFixedSize(heading.PixelWidth + VisibleFieldColumns * FieldColumnPixels + frame,
                              2 * DataStrGrid->verticalHeader()->defaultSectionSize() +
                                  DataStrGrid->horizontalScrollBar()->sizeHint().height() + frame);

    FeildLabel->setText(QString::number(layout.FieldCount));
    showWarning(FeildLabel, layout.FieldCountTooLarge);
    TotalLabel->setText(QString::number(layout.RecordLength));
    showWarning(TotalLabel, layout.RecordTooLong);

    adjustSize();
    if (!parentWidget()) {
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
}

void TSendDataForm::EndBtnClick()
{
    close();
}
