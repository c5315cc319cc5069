#pragma once
// The standard message boxes, shown through the dialog service in force.
#include "toolkit/dialogs.h"

#include <QString>

// A modal box with the error icon, the text, the title in its caption and
// one OK button; returns the pressed button (mrOk).
int ShowError(const QString& text, const QString& title);

// ShowError with the text and title of the language in force, falling back
// to the built-in texts.
int ShowErrorByKeys(const QString& textKey, const QString& builtInText, const QString& titleKey,
                    const QString& builtInTitle);

// A message box of any kind; returns the pressed button as a TModalResult.
int ShowMessageBox(TMsgKind kind, const QString& text, const QString& title, TMsgButtons buttons);
