#include "tests/support/LayoutChecks.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

// The checks the form tests rely on must see a cut text, or every form passes them unseen.
namespace {

const QString caption = QStringLiteral("検索キー項目と参照データ項目を指定してください。");

TEST(LayoutChecks, TextsLaidOutByTheirLayoutAreWhole)
{
    QDialog dialog;
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(caption, &dialog));
    auto *wrapped = new QLabel(caption + caption, &dialog);
    wrapped->setWordWrap(true);
    layout->addWidget(wrapped);
    layout->addWidget(new QCheckBox(QStringLiteral("データ保存"), &dialog));
    layout->addWidget(new QPushButton(QStringLiteral("アドインプログラム設定"), &dialog));
    layout->addWidget(new QGroupBox(QStringLiteral("確認/警告ブザー設定"), &dialog));
    dialog.show();
    testsupport::expectTextsWhole(dialog);
    testsupport::expectFitsScreen(dialog);
}

TEST(LayoutChecks, EachKindOfCutTextIsNamed)
{
    const auto cutIn = [](QWidget *control, int width) {
        auto *dialog = new QDialog;
        control->setParent(dialog);
        control->setObjectName(QStringLiteral("Cut"));
        control->setGeometry(0, 0, width, 30);
        dialog->resize(400, 100);
        dialog->show();
        return dialog;
    };
    const std::unique_ptr<QDialog> label(cutIn(new QLabel(caption), 60));
    EXPECT_NONFATAL_FAILURE(testsupport::expectTextsWhole(*label), "QLabel Cut");
    auto *wrappedLabel = new QLabel(caption);
    wrappedLabel->setWordWrap(true);
    const std::unique_ptr<QDialog> wrapped(cutIn(wrappedLabel, 60));
    EXPECT_NONFATAL_FAILURE(testsupport::expectTextsWhole(*wrapped), "wrapped text cut");
    const std::unique_ptr<QDialog> check(cutIn(new QCheckBox(QStringLiteral("データ保存")), 30));
    EXPECT_NONFATAL_FAILURE(testsupport::expectTextsWhole(*check), "QCheckBox Cut");
    const std::unique_ptr<QDialog> button(
        cutIn(new QPushButton(QStringLiteral("アドインプログラム設定")), 60));
    EXPECT_NONFATAL_FAILURE(testsupport::expectTextsWhole(*button), "QPushButton Cut");
    const std::unique_ptr<QDialog> group(cutIn(new QGroupBox(QStringLiteral("確認/警告ブザー設定")), 40));
    EXPECT_NONFATAL_FAILURE(testsupport::expectTextsWhole(*group), "title cut");

    QDialog narrow;
    narrow.setWindowTitle(QStringLiteral("業務設定データ送信"));
    narrow.resize(120, 60);
    narrow.show();
    EXPECT_NONFATAL_FAILURE(testsupport::expectTextsWhole(narrow), "caption cut");

    QDialog tooLarge;
    tooLarge.resize(testsupport::largestWindow + QSize(0, 10));
    EXPECT_NONFATAL_FAILURE(testsupport::expectFitsScreen(tooLarge), "");
}

} // namespace
