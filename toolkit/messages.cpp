#include "toolkit/messages.h"

#include "support/supportlanguage.h"

int ShowError(const QString& text, const QString& title) {
    return Dialogs().MessageBox(TMsgKind::Error, text, title, mbOK);
}

int ShowErrorByKeys(const QString& textKey, const QString& builtInText, const QString& titleKey,
                    const QString& builtInTitle) {
    return ShowError(Translate(textKey, builtInText), Translate(titleKey, builtInTitle));
}

int ShowMessageBox(TMsgKind kind, const QString& text, const QString& title, TMsgButtons buttons) {
    return Dialogs().MessageBox(kind, text, title, buttons);
}
