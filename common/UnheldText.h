#pragma once

#include <QString>
#include <QStringView>

// Text the operator enters is refused when code page 932 cannot hold one of its characters: stored,
// such a character would become "?" with no word to anyone.
namespace unheld {

inline const QString Caption = QStringLiteral("入力エラー");

// The refusal's message naming the first character code page 932 cannot hold; empty when the text
// holds none.
QString refusalMessage(QStringView text);

} // namespace unheld
