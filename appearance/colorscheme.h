#pragma once
// Painting windows from a colour scheme. Each component owned by a form is
// painted by its exact class name (descendants never match) and its Tag;
// components of other classes are left alone.
#include "appearance/schemefile.h"

class QObject;
class TForm;

// The program folder's "CurrentColor.clr", the scheme in force.
QString CurrentSchemePath();

// The scheme in force as last read by ApplySchemeToForm and changed live by
// the scheme editor; all zeros before the first successful read.
TColorScheme& CurrentScheme();

// Paints the form's components from the file, or from the system-colour
// defaults when the file does not exist. An invalid file raises
// ELorimelError with the conversion error before any control is changed.
void ApplyColorScheme(TForm* form, const QString& fileName);

// What windows call: nothing at all when the file does not exist; else
// ApplyColorScheme and then the file's values into CurrentScheme(). A
// failure shows "MSG_WRONGCOLOR" and leaves colours and scheme as they were.
void ApplySchemeToForm(TForm* form, const QString& fileName);

// Paints one component by the painting table; false when its class is not
// in the table or its Tag excludes it.
bool PaintComponent(QObject* component, const TColorScheme& scheme);
