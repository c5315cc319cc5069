#include "app/aboutbox.h"

#include "app/trayquarters.h"
#include "support/contesto.h"
#include "support/supportlanguage.h"
#include "toolkit/flatwidgets.h"
#include "toolkit/translation.h"

#include <QDesktopServices>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QShowEvent>
#include <QUrl>

namespace {

constexpr int BoxWidth = 320;
constexpr int BoxHeight = 336;
constexpr int PictureSize = 64;

void MakeLink(TLabel* label) {
    label->setFontColor(RGBColor(0, 0, 0xC0));
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    label->setCursor(Qt::PointingHandCursor);
}

} // namespace

TFormAboutBox::TFormAboutBox(QWidget* parent)
    : TForm(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("FormAboutBox"));
    setCaption(QStringLiteral("Autore"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(BoxWidth, BoxHeight);

    Immagine = new QLabel(this);
    Immagine->setObjectName(QStringLiteral("Immagine"));
    Immagine->setGeometry(16, 16, PictureSize, PictureSize);
    Immagine->setPixmap(ProgramPicture(PictureSize));

    Crediti = Create<TSecretPanel>(QStringLiteral("Crediti"), this);
    Crediti->setGeometry(96, 16, 208, 150);
    Crediti->setVertical(true);
    Crediti->setColor(clWindow);
    Crediti->setFontColor(clWindowText);

    LabelSegnalazioni = Create<TLabel>(QStringLiteral("LabelSegnalazioni"), this);
    LabelSegnalazioni->setGeometry(16, 180, 288, 16);
    LabelSegnalazioni->setCaption(QStringLiteral("Per eventuali segnalazioni scrivere a:"));

    LabelEmail = Create<TLabel>(QStringLiteral("LabelEmail"), this);
    LabelEmail->setGeometry(16, 198, 288, 16);
    LabelEmail->setCaption(QString::fromLatin1(AboutMailAddress));
    MakeLink(LabelEmail);

    LabelDonazioni = Create<TLabel>(QStringLiteral("LabelDonazioni"), this);
    LabelDonazioni->setGeometry(16, 224, 288, 32);
    LabelDonazioni->setWordWrap(true);
    LabelDonazioni->setCaption(QStringLiteral(
        "Lorimel è gratuito: se ti è utile, puoi sostenerlo con una donazione dal sito:"));

    LabelSitoWeb = Create<TLabel>(QStringLiteral("LabelSitoWeb"), this);
    LabelSitoWeb->setGeometry(16, 258, 288, 16);
    LabelSitoWeb->setCaption(QString::fromLatin1(AboutWebPage));
    MakeLink(LabelSitoWeb);

    ButtonOK = Create<TBitBtn>(QStringLiteral("ButtonOK"), this);
    ButtonOK->setGeometry((BoxWidth - 75) / 2, 296, 75, 25);
    ButtonOK->setCaption(QStringLiteral("OK"));
    ButtonOK->setDefault(true);

    connect(LabelEmail, &TLabel::clicked, this, &TFormAboutBox::LabelEmailClick);
    connect(LabelSitoWeb, &TLabel::clicked, this, &TFormAboutBox::LabelSitoWebClick);
    connect(ButtonOK, &QPushButton::clicked, this, &TFormAboutBox::ButtonOKClick);
}

TFormAboutBox::~TFormAboutBox() = default;

void TFormAboutBox::Execute(QWidget* parent) {
    QPointer<TFormAboutBox> box = new TFormAboutBox(parent);
    box->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    connect(box, &QObject::destroyed, &loop, &QEventLoop::quit);
    box->show();
    if (box)
        loop.exec(QEventLoop::DialogExec);
}

QStringList TFormAboutBox::CreditLines() {
    const QString mail = QString::fromLatin1(AboutMailAddress);
    return {
        QStringLiteral("Lorimel Audio Player"),
        QStringLiteral("Versione ") + QString::fromLatin1(Contesto::Lorimel::AppVersion),
        QString(),
        QStringLiteral("Autore: il gruppo di Lorimel"),
        QStringLiteral("E-mail: ") + mail,
        QString(),
        QStringLiteral("Lettore multimediale"),
        QStringLiteral("con playlist, registratore"),
        QStringLiteral("e acquisizione di CD."),
        QString(),
        QStringLiteral("Grazie a chi lo usa"),
        QStringLiteral("e a chi lo migliora!"),
    };
}

void TFormAboutBox::showEvent(QShowEvent* e) {
    if (!e->spontaneous()) {
        if (!CurrentLanguage().isEmpty())
            TranslateForLanguage(this, CurrentLanguage());
        Crediti->ClearLines();
        for (const QString& line : CreditLines())
            Crediti->AddLine(line);
        if (QScreen* s = screen()) {
            QRect r = frameGeometry();
            r.moveCenter(s->availableGeometry().center());
            move(r.topLeft());
        }
    }
    Crediti->setActive(true);
    TForm::showEvent(e);
}

void TFormAboutBox::hideEvent(QHideEvent* e) {
    Crediti->setActive(false);
    TForm::hideEvent(e);
}

void TFormAboutBox::LabelEmailClick() {
    QDesktopServices::openUrl(
        QUrl(QStringLiteral("mailto:") + QString::fromLatin1(AboutMailAddress)));
}

void TFormAboutBox::LabelSitoWebClick() {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(AboutWebPage)));
}

void TFormAboutBox::ButtonOKClick() {
    close();
}
