#include "app/trackinfo.h"

#include "media/mediaerror.h"
#include "media/mp3tag.h"
#include "media/mpegaudio.h"
#include "media/oggvorbis.h"
#include "media/wmafile.h"
#include "toolkit/messages.h"

#include <QFile>
#include <QFileInfo>
#include <string>

namespace {

// The readers open files by their bytes in the file system's encoding.
std::string NativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// The extension as written, dot included ("" when the name has none).
QString ExtensionOf(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

QString Kbits(std::int64_t rate) {
    return QString::number(rate) + QStringLiteral(" kBit/s");
}
QString Khz(std::int64_t hertz) {
    return QString::number(hertz / 1000) + QStringLiteral(" kHz");
}

void ReadMp3(const QString& path, TTrackInfo& info) {
    Tmp3Tag tag;
    tag.LoadFromFile(NativePath(path));
    info.Title = Text(tag.Title());
    info.Artist = Text(tag.Artist());
    info.Year = Text(tag.Year());
    info.Album = Text(tag.Album());
    info.Track = QString::number(tag.Track());
    info.Comment = Text(tag.Comment());
    info.Genre = Text(tag.Genre());

    TAudioInfo stream;
    stream.ReadFile(NativePath(path));
    info.BitRateText = stream.IsVBR ? QStringLiteral("VBR bitrate") : Kbits(stream.Header.BitRate);
    info.FrequencyText = Khz(stream.Header.SampleRate);
    info.ExtensionText =
        QStringLiteral("(mpeg layer ") + QString::fromUtf8(stream.Header.LayerName()) + u')';
    info.DurationMs = stream.DurationMs;
}

} // namespace

TTrackInfo ReadTrackInfo(const QString& path) {
    TTrackInfo info;
    const QString extension = ExtensionOf(path);
    const QString upper = extension.toUpper();
    const QString kind = QStringLiteral("( ") + extension + QStringLiteral(" file )");
    try {
        if (upper == QLatin1String(".MP3")) {
            ReadMp3(path, info);
        } else if (upper == QLatin1String(".WMA")) {
            TWMAfile wma;
            wma.ReadFile(NativePath(path));
            info.Title = Text(wma.Title);
            info.Artist = Text(wma.Artist);
            info.Year = Text(wma.Year);
            info.Album = Text(wma.Album);
            info.Track = QString::number(wma.Track);
            info.Comment = Text(wma.Comment);
            info.Genre = Text(wma.Genre);
            info.BitRateText = Kbits(wma.BitRate);
            info.FrequencyText = Khz(wma.SampleRate);
            info.ExtensionText = kind;
        } else if (upper == QLatin1String(".OGG")) {
            TOggVorbis ogg;
            ogg.ReadFile(NativePath(path));
            info.Title = Text(ogg.Title);
            info.Artist = Text(ogg.Artist);
            info.Album = Text(ogg.Album);
            info.Track = QString::number(ogg.Track);
            info.Comment = Text(ogg.Comment);
            info.Genre = Text(ogg.Genre);
            // The date of an Ogg file is not a year: the field stays empty.
            info.BitRateText = Kbits(ogg.BitRate());
            info.FrequencyText = Khz(ogg.SampleRate);
            info.ExtensionText = kind;
        }
    } catch (const std::exception& e) {
        info.Error = QString::fromUtf8(e.what());
        if (info.Error.isEmpty())
            info.Error = QStringLiteral("Unable to read %1").arg(path);
    }
    return info;
}

TSaveTagResult SaveTrackTag(const QString& path, const TTagFields& fields) {
    if (ExtensionOf(path).toUpper() != QLatin1String(".MP3"))
        return TSaveTagResult::NotMp3;
    // The tag keeps the track in one byte: anything else would be stored
    // as another number.
    bool isNumber = false;
    const int track = fields.Track.trimmed().toInt(&isNumber, 10);
    if (!isNumber || track < 0 || track > 255)
        return TSaveTagResult::WrongTrack;

    Tmp3Tag tag;
    tag.SetAlbum(fields.Album.toStdString());
    tag.SetArtist(fields.Artist.toStdString());
    tag.SetComment(fields.Comment.toStdString());
    const QString genre = fields.Genre;
    const auto genres = Tmp3Tag::Genres();
    bool listed = false;
    for (std::size_t i = 0; i < genres.size(); ++i) {
        const QString name = QString::fromUtf8(genres[i].data(), qsizetype(genres[i].size()));
        if (name.compare(genre, Qt::CaseInsensitive) == 0) {
            tag.SetGenreID(static_cast<std::int32_t>(i));
            listed = true;
            break;
        }
    }
    if (!listed)
        tag.SetGenre(genre.toStdString());
    tag.SetTitle(fields.Title.toStdString());
    tag.SetTrack(track);
    tag.SetYear(fields.Year.toStdString());
    tag.SaveToFile(NativePath(path));
    return TSaveTagResult::Saved;
}

void ShowWrongTrackFormat() {
    ShowErrorByKeys(QStringLiteral("MSG_WRONGFORMATTRACK"),
                    QStringLiteral("La traccia deve essere numerica"),
                    QStringLiteral("TTL_FORMATERROR"), QStringLiteral("Errore formato"));
}
