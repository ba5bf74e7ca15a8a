#pragma once

#include "ByteEdit.h"

// A file-name field of the settings programs: an 8.3 name typed key by key (FileSEKeyPress) and,
// after each operator change, the change check (FileSEChange): an invalid text is replaced by the
// last good one with a beep. Emits Changed after every operator change that the check let stand or
// put back, so the form marks its settings as changed.
class TFileNameEdit : public TByteEdit {
    Q_OBJECT

public:
    // keepsLastGood false: the field only takes the key filter and is never reverted.
    explicit TFileNameEdit(bool keepsLastGood = true, QWidget *parent = nullptr);

    // The program's own fill; the text also becomes the last good value.
    void setFileName(const QString &text);
    const QString &lastGood() const { return lastGood_; }

signals:
    void Changed();

private slots:
    void FileSEChange();

private:
    bool keepsLastGood_;
    QString lastGood_;
};
