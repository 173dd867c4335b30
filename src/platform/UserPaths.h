#pragma once

#include <QString>

#include <optional>

// Where the application keeps its files on this machine.
namespace UserPaths {

// A folder only this user can enter: "$XDG_RUNTIME_DIR/sleevanta" when the
// runtime folder is usable, else "<temp>/sleevanta-<uid>". Created with mode
// 0700. Empty when the folder is a symbolic link, is not a folder or belongs to
// someone else: nothing may be written there then.
std::optional<QString> perUserTemporaryDirectory();

// True when `path` is a real folder (not a symbolic link) owned by this user;
// group and other permissions are removed when present.
bool isPrivateFolder(const QString& path);

// "$XDG_STATE_HOME/Sleevanta" ("~/.local/state/Sleevanta" when unset): what
// the application remembers between runs (journals, covers it replaced).
QString stateDirectory();

// "$XDG_CACHE_HOME/Sleevanta/images".
QString imageCacheDirectory();

// The user's Downloads folder ("~/Downloads" when the desktop names none).
QString downloadsDirectory();

} // namespace UserPaths
