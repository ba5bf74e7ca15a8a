#pragma once

// The master send dialog's rules without its widgets: the terminal file name filter.

#include <QChar>
#include <QString>
#include <optional>

namespace masters {

inline const QString SendDialogCaption = QStringLiteral("マスターファイル送信");
inline const QString SendHint = QStringLiteral("ハンディターミナル内で使用する\r\nマスターファイル名を入力し"
                                               "てから\r\n送信ボタンをクリックしてください。");
// The kind of operation whose result the library shows.
inline constexpr int MasterSendOperation = 3;

// What one typed key does to the name.
struct NameKey {
    enum class Action { Pass, Type, Swallow, Refuse };
    Action action = Action::Pass;
    QChar key; // Type: the character typed (upper-cased)
};
// The key typed with the caret after `caret` characters of name: a terminal 8.3 name in upper case.
NameKey MfNameSEKeyPress(const QString &name, int caret, QChar key);

// The name as it would stand after typing text into an empty edit key by key; nothing when a key
// would be refused (pasted or composed text goes through the same filter).
std::optional<QString> typedName(const QString &text);

// Names of files the terminal must not be sent a master as (programs, width and settings files).
bool isRefusedBhtName(const QString &name);

} // namespace masters
