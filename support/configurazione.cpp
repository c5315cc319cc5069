#include "support/configurazione.h"

#include "support/codepage.h"
#include "support/errors.h"
#include "support/inifile.h"
#include "support/programfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#include <ctime>
#include <optional>
#include <random>

namespace {

struct TStore {
    bool open = false;
    QString appName;
    QString fileName;
    QString supportFileName;
    std::optional<TIniFile> ini;
    // Only a template present when the store opens counts; one created later
    // is seen at the next start.
    std::optional<TIniFile> tpl;
};

TStore& Store() {
    static TStore store;
    return store;
}

std::mt19937& Generator() {
    static std::mt19937 generator;
    return generator;
}

bool IsSeparator(QChar c) {
    return c.unicode() <= 0x20;
}

// "Support.dat" is a block of noise that other installations expect to find
// beside the program; it is written whole or not at all.
void WriteSupportFile(const QString& fileName) {
    const int count = 1024 + ConfigRandom(512);
    QByteArray bytes(qsizetype(count) * 4, Qt::Uninitialized);
    for (int i = 0; i < count; ++i)
        qToLittleEndian<qint32>(50 + ConfigRandom(23654), bytes.data() + qsizetype(i) * 4);
    try {
        WriteBytesAtomic(fileName, bytes);
    } catch (const EWriteError&) {
        // Start-up goes on without it, as with an unwritable Config folder.
    }
}

QString TemplateDefaultOf(const TStore& s, const QString& section, const QString& key) {
    if (!s.tpl)
        return QString();
    return TemplateDefault(s.tpl->ReadString(section, key, QString()));
}

} // namespace

void ConfigInit(const QString& appName) {
    TStore& s = Store();
    s = TStore{};
    s.appName = appName;
    const QString config = ProgramSubfolder(QStringLiteral("Config"));
    s.fileName = config + appName + QStringLiteral(".ini");
    QDir().mkpath(QFileInfo(s.fileName).absolutePath());
    s.ini.emplace(s.fileName);

    s.supportFileName = QStringLiteral("Support.dat");
    Generator().seed(static_cast<std::uint32_t>(std::time(nullptr)));
    const QFileInfo support(ProgramFolder() + s.supportFileName);
    if (!support.exists() && !support.isSymLink())
        WriteSupportFile(support.filePath());

    const QString tpl = config + QStringLiteral("Settings.tpl");
    if (QFileInfo(tpl).isFile())
        s.tpl.emplace(tpl);
    s.open = true;
}

QString ConfigReadString(const QString& section, const QString& key, const QString& def) {
    const TStore& s = Store();
    if (!s.open)
        return def;
    const QString v = s.ini->ReadString(section, key, QString());
    if (!v.isEmpty())
        return v;
    const QString d = TemplateDefaultOf(s, section, key);
    return d.isEmpty() ? def : d;
}

bool ConfigReadBool(const QString& section, const QString& key, bool def) {
    const TStore& s = Store();
    if (!s.open)
        return def;
    const QString v = s.ini->ReadString(section, key, QString());
    if (!v.isEmpty())
        return v.toUpper() == QLatin1String("TRUE");
    const QString d = TemplateDefaultOf(s, section, key);
    if (!d.isEmpty())
        return d.toUpper() == QLatin1String("TRUE");
    return def;
}

void ConfigWriteString(const QString& section, const QString& key, const QString& value) {
    TStore& s = Store();
    if (!s.open)
        throw EWriteError(QStringLiteral("Unable to write to %1").arg(s.fileName),
                          QStringLiteral("the settings store is not open"));
    s.ini->WriteString(section, key, value);
}

void ConfigWriteBool(const QString& section, const QString& key, bool value) {
    ConfigWriteString(section, key, value ? QStringLiteral("True") : QStringLiteral("False"));
}

QStringList ConfigReadSection(const QString& section) {
    const TStore& s = Store();
    return s.open ? s.ini->ReadSection(section) : QStringList();
}

QString ConfigFileName() {
    return Store().fileName;
}

QStringList CommaTextItems(const QString& commaText) {
    QStringList items;
    const qsizetype n = commaText.size();
    qsizetype i = 0;
    while (i < n && IsSeparator(commaText[i]))
        ++i;
    while (i < n) {
        QString item;
        if (commaText[i] == QLatin1Char('"')) {
            // Runs to the matching quote; "" inside stands for one quote. An
            // unclosed quote runs to the end of the text.
            ++i;
            while (i < n) {
                if (commaText[i] == QLatin1Char('"')) {
                    if (i + 1 < n && commaText[i + 1] == QLatin1Char('"')) {
                        item += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += commaText[i];
                ++i;
            }
        } else {
            const qsizetype start = i;
            while (i < n && !IsSeparator(commaText[i]) && commaText[i] != QLatin1Char(','))
                ++i;
            item = commaText.mid(start, i - start);
        }
        items.append(item);
        while (i < n && IsSeparator(commaText[i]))
            ++i;
        if (i < n && commaText[i] == QLatin1Char(',')) {
            ++i;
            while (i < n && IsSeparator(commaText[i]))
                ++i;
        }
    }
    return items;
}

QString TemplateDefault(const QString& commaText) {
    const QStringList items = CommaTextItems(commaText);
    for (const QString& item : items) {
        const qsizetype eq = item.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (QStringView(item).left(eq).compare(QLatin1String("DefaultValue"),
                                               Qt::CaseInsensitive) == 0)
            return item.mid(eq + 1);
    }
    return QString();
}

int ConfigRandom(int n) {
    if (n <= 0)
        return 0;
    return static_cast<int>(Generator()() % static_cast<std::uint32_t>(n));
}
