#pragma once

#include "jobs/DataType.h"

#include <QList>

// The layout of the records a job collects and sends back, as the send-data layout viewer shows
// it: one column per field with its name and its width in bytes, after a heading column.

struct SendDataColumn {
    QString Title;      // first row: the field's name
    QString WidthText;  // second row: its width in bytes
    int PixelWidth = 0; // width of the column in the viewer's grid
    friend bool operator==(const SendDataColumn &, const SendDataColumn &) = default;
};

struct SendDataLayout {
    QString Caption;
    QList<SendDataColumn> Columns; // the heading column first, then one per field
    int FieldCount = 0;
    bool FieldCountTooLarge = false; // shown in red
    qint64 RecordLength = 0;
    bool RecordTooLong = false; // shown in red
};

// Only jobs that store collected data have a layout to show: modes A and B with a save file name.
bool CanShowSendDataLayout(const TGyData &job);

// The layout of job.BhtFileFld, which GetBhtFld must have filled for the job as it is now. A field
// count beyond the layout's arrays is taken as their size.
SendDataLayout GetSendDataLayout(const TGyData &job);
