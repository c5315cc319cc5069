#pragma once
// The small pictures of the main window's buttons and menus, drawn in code
// so that they scale and need no image files.
#include <QColor>
#include <QIcon>

class QPainter;

enum class TGlyph { Play, Prev, Next, Pause, Stop, Add, Playlist, Record, Save, Minimize, Close, Roll };

// Draws the glyph filling a square of `size` at the painter's origin.
void DrawGlyph(QPainter& painter, TGlyph glyph, qreal size, const QColor& color);

// The glyph as a mask icon: flat buttons colour it to suit their fill.
QIcon GlyphIcon(TGlyph glyph, int size = 12);
