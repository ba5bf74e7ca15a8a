#pragma once

#include "masters/tables/TableSource.h"
#include "masters/ui/MasterEdit.h"
#include "tests/support/RecordingUiService.h"

#include <QString>
#include <QToolButton>
#include <gtest/gtest.h>

// What the master editor's form tests share.
namespace masteruitest {

// A working copy that takes every record and keeps none.
class NoSink final : public masters::tables::RecordSink {
public:
    bool appendRecord(const QByteArray &, QString &) override { return true; }
};

// Shows the editor and opens the master through "開く" and its file dialog.
inline void showAndOpen(TMasterForm &form, testsupport::RecordingUi &ui, const QString &master)
{
    form.show();
    ui.queueFileName(master);
    form.OpenBtn->click();
    ASSERT_TRUE(form.Model().EditFlag) << master.toStdString();
}

} // namespace masteruitest
