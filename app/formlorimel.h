#pragma once
// The main window: a small borderless panel with its own title bar, the
// track title strip, the foldable tag panel, the time and position display
// and the button strip.
#include "toolkit/component.h"

class TFlatButton;
class TFlatPanel;
class TFlatScrollbar;
class TFlatTitlebar;
class TFormPlacement;
class TEdit;
class TLabel;
class TPanel;
class TSecretPanel;

class TFormLorimel : public TForm {
    Q_OBJECT
public:
    // Client size with the tag panel unfolded, and the panel's height.
    static constexpr int ClientWidth = 252;
    static constexpr int ClientHeight = 322;
    static constexpr int TagPanelHeight = 184;

    explicit TFormLorimel(QWidget* parent = nullptr);
    ~TFormLorimel() override;

    // Folds the tag panel away or shows it again; the window shrinks or
    // grows by the panel's height.
    void ToggleTagPanel();
    bool TagPanelFolded() const;

    // Controls other parts of the program drive.
    TFlatTitlebar* TitleBar = nullptr;
    TFlatButton *ButtonMinimize = nullptr, *ButtonClose = nullptr;
    TFlatPanel* PannelloPrincipale = nullptr;
    TFlatPanel* PannelloTitolo = nullptr;
    TSecretPanel* PannelloScorrevole = nullptr;
    TFlatButton *ButtonAddToPlaylist = nullptr, *ButtonPlaylist = nullptr;
    TFlatButton* RollTags = nullptr;
    TPanel *PannelloTagsBox = nullptr, *PannelloTags = nullptr;
    TEdit *TagTitolo = nullptr, *TagArtista = nullptr, *TagAlbum = nullptr, *TagGenere = nullptr,
          *TagCommento = nullptr, *TagTraccia = nullptr, *TagAnno = nullptr;
    TFlatButton* BtnSaveTag = nullptr;
    TLabel *LabelHide = nullptr, *LabelShow = nullptr;
    TPanel* PannelloScorrimento = nullptr;
    TFlatPanel* PannelloInfo = nullptr;
    TFlatPanel* SeparaInfo = nullptr;
    TLabel *Tempo = nullptr, *LabelFrazione = nullptr, *Durata = nullptr;
    TLabel *LabelExtension = nullptr, *LabelBitRate = nullptr, *LabelFrequency = nullptr;
    TPanel *PannelloPosizione = nullptr, *PannelloVolume = nullptr;
    TFlatScrollbar *Posizione = nullptr, *Volume = nullptr;
    TPanel* PannelloPulsanti = nullptr;
    TFlatButton *ButtonPlay = nullptr, *ButtonPrev = nullptr, *ButtonNext = nullptr,
                *ButtonPause = nullptr, *ButtonStop = nullptr, *ButtonRec = nullptr,
                *ButtonSplash = nullptr;
    TFormPlacement* FormPlacement = nullptr;

private:
    void BuildControls();
    void FormCreate();
    void LayoutHeights();
};
