#pragma once
// Folders and file lists.
#include <QString>
#include <QStringList>

// The process's current folder, without a trailing "/" except for the root.
QString CurrentFolder();
// Every entry (files and folders; ".", ".." and hidden dot entries
// excluded) matching the mask's wildcards ("*", "?", letters in any case),
// as the mask's folder (with its trailing "/") + name, sorted by name. The
// current folder is not changed.
QStringList ListFiles(const QString& mask);
// Appends each matching entry's name less its last 4 characters; nothing
// when the mask's folder cannot be read.
void ListBaseNames(QStringList& list, const QString& mask);
// The file name part of a path without its extension (from the last dot on).
QString FileNameWithoutExtension(const QString& path);
