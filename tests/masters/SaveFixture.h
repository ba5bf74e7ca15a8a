#pragma once

#include "MasterTestSupport.h"

#include "masters/MasterSave.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <vector>

// The master "m/master.dat" with its width file, an old pair of 40 records of widths {8, 10} and the
// new pair a save writes, of 30 records of widths {5, 3, 4}, for the tests of the save and of its
// recovery.
namespace savetest {

inline const std::vector<int> OldWidths{8, 10};
inline const std::vector<int> NewWidths{5, 3, 4};

// New records of another length, so that one file of each pair cannot pass for the other's.
QByteArray newRecords(int n);

// Every entry of a folder, hidden ones too, with what it holds ("file:" and its bytes, "link:" and
// where it points, "folder"): two snapshots are equal when nothing in it was touched. Lock files of
// ours are left out.
QMap<QString, QByteArray> snapshot(const QString &folder);
// The entries of a folder whose names contain part.
QStringList entriesWith(const QString &folder, const QString &part);

class SaveFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void writeOldPair(bool withWidthFile = true);
    // The new records, saved from a store as the editor's save does.
    bool save(QString *error = nullptr, bool *busy = nullptr);
    // Records of records.src with the widths, saved the same way.
    bool saveRecords(const QByteArray &records, const std::vector<int> &widths, QString *error = nullptr,
                     bool *busy = nullptr);
    // Runs the save in a child that is killed at the step (counted from 1); true when it was.
    bool killedAt(int step);
    QStringList files() const;
    void expectOldPair(bool withWidthFile = true);
    void expectNewPair();

    QString master;
    QString widthFile;
};

} // namespace savetest
