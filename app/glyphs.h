#pragma once
// The small pictures of the main window's buttons and menus, drawn in code
// so that they scale and need no image files.
#include <QIcon>

enum class TGlyph { Play, Prev, Next, Pause, Stop, Add, Playlist, Record, Save, Minimize, Close, Roll };

QIcon GlyphIcon(TGlyph glyph, int size = 12);
