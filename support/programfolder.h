#pragma once
// Where the program's settings and data live. Paths use "/" and folders end
// with "/".
//   1. $LORIMEL_HOME when set (created when missing);
//   2. else the running executable's folder when it is writable (a build
//      tree, a portable copy);
//   3. else $XDG_DATA_HOME/lorimel/ (~/.local/share/lorimel/), seeded at the
//      first start with the shipped files (Langs, Colors, Demo, ...) copied
//      from the installed share folder (<prefix>/share/lorimel/).
#include <QString>

QString ProgramFolder();

// ProgramFolder() + name + "/"; the folder is created, with any missing
// parents, when it does not exist.
QString ProgramSubfolder(const QString& name);
