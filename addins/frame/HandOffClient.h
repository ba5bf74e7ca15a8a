#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// The settings program's side of the hand-off with the manager: one registry key that the manager
// fills before it starts the program and reads back after the program has ended.
namespace addins {

inline const QString HandOffKey = QStringLiteral("Software\\Vestrane\\FerrolinAddInPrg");

// How a program reads its parameter strings at start.
struct HandOffReadRules {
    // 1 reads Para0 only (Olvide); 2 also reads Para1 when the count is 1.
    int paraCount = 2;
    // The 1-based byte position of the marker in Para0, 0 for a program without one. A Para0 whose
    // two bytes there are none of `markers` counts as no parameters (SetCount 0).
    int markerPosition = 0;
    QList<QByteArray> markers;
};

// What the program found in the key when it started. Parameter strings are code page 932 bytes,
// converted from the store's wide text before any byte position is taken.
struct HandOffRequest {
    bool keyOpened = false;
    std::optional<QString> GyName;
    int BhtType = 0;  // 0 when missing or unreadable
    int SetCount = 0; // 0 or 1
    QByteArray Para0; // empty when missing
    QByteArray Para1; // read only with paraCount 2 and SetCount 1
    bool hasPara1 = false;
};

// LoadPara's reading of the key: opens it (creating it), reads and closes. A key that cannot be
// opened gives keyOpened false and BhtType 0, which no program supports. SetCount is reduced to 0
// or 1 and is 0 when Para0 is missing or its marker differs.
HandOffRequest ReadHandOff(const HandOffReadRules &rules);

// The answer of a confirmed edit.
struct HandOffAnswer {
    QByteArray Para0;
    std::optional<QByteArray> Para1; // Olvide answers Para0 only
};

// SavePara's writing of the key: the Para strings, then SetCount 1, then Result true last, so that
// the manager never finds Result true beside parameters that did not reach the store. GyName,
// BhtType and the other Para values are left alone. False when the key cannot be opened or any write
// fails; error then says why.
bool WriteHandOffAnswer(const HandOffAnswer &answer, QString *error = nullptr);

} // namespace addins
