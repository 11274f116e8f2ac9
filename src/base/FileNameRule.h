#pragma once

#include <QString>

// A name the user gives to a file the program makes in a folder it chooses
// itself (a package in the package folder, a table include file of the
// export). Packages and tables travel between computers, so a name must also
// be one that other systems keep: no folder part, none of the characters
// they forbid, not one of their device names, not ended by a dot or a blank,
// which they drop. Every path that takes such a name asks this rule.
namespace FileNameRule {

// Longest name taken: room is left for an extension and a line number.
constexpr int MaxLength = 200;

// Why `name` cannot name a file, in the user's language, without naming the
// name; empty when it can. Blanks around the name count: they would be part
// of the file's name.
QString Refusal(const QString &name);

} // namespace FileNameRule
