#pragma once
// The about box, "Autore": the program's picture, credits scrolling upwards
// without end, the maker's e-mail address and web page as links, and OK.
//
// The main window's "H" button opens it modally; it frees itself when
// closed:
//
//     TFormAboutBox::Execute(this);
//
// Each time the box is shown it is translated (when a language is in force)
// and its credits are filled again. The links open through
// QDesktopServices, so a handler registered there for "mailto" or "https"
// receives them.
#include "toolkit/component.h"

class TBitBtn;
class TLabel;
class TSecretPanel;
class QLabel;

// The maker's addresses.
inline constexpr const char* AboutMailAddress = "autore@lorimel.example.org";
inline constexpr const char* AboutWebPage = "https://lorimel.example.org/";

class TFormAboutBox : public TForm {
    Q_OBJECT
public:
    explicit TFormAboutBox(QWidget* parent = nullptr);
    ~TFormAboutBox() override;

    // Creates the box, shows it modally and returns when it is closed (the
    // box is freed by then).
    static void Execute(QWidget* parent = nullptr);

    // The credits in their order, as the panel is filled when shown.
    static QStringList CreditLines();

    TSecretPanel* Crediti = nullptr;
    QLabel* Immagine = nullptr;
    TLabel* LabelSegnalazioni = nullptr;
    TLabel* LabelEmail = nullptr;
    TLabel* LabelDonazioni = nullptr;
    TLabel* LabelSitoWeb = nullptr;
    TBitBtn* ButtonOK = nullptr;

public slots:
    void LabelEmailClick();
    void LabelSitoWebClick();
    void ButtonOKClick();

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
};
