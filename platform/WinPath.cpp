#include "platform/WinPath.h"

namespace winpath {

QChar driveLetter(const QString &path)
{
    if (path.size() >= 2 && path.at(1) == QLatin1Char(':') && path.at(0).isLetter()
        && path.at(0).unicode() < 128)
        return path.at(0).toUpper();
    return {};
}

QString driveRoot(QChar letter)
{
    return QString(letter.toUpper()) + QStringLiteral(":\\");
}

bool isDriveRoot(const QString &path)
{
    if (driveLetter(path).isNull())
        return false;
    return path.size() == 2 || (path.size() == 3 && (path.at(2) == QLatin1Char('\\') || path.at(2) == QLatin1Char('/')));
}

QString join(const QString &folder, const QString &name)
{
    if (folder.endsWith(QLatin1Char('\\')))
        return folder + name;
    return folder + QLatin1Char('\\') + name;
}

QString normalized(const QString &path)
{
    QString p = path;
    p.replace(QLatin1Char('/'), QLatin1Char('\\'));
    if (!driveLetter(p).isNull())
        p[0] = p.at(0).toUpper();
    if (p.size() == 2 && !driveLetter(p).isNull())
        return p + QLatin1Char('\\');
    while (p.size() > 3 && p.endsWith(QLatin1Char('\\')))
        p.chop(1);
    return p;
}

QString parent(const QString &path)
{
    const QString p = normalized(path);
    if (isDriveRoot(p))
        return {};
    const int cut = p.lastIndexOf(QLatin1Char('\\'));
    if (cut < 0)
        return {};
    if (cut == 2 && !driveLetter(p).isNull())
        return p.left(3);
    return p.left(cut);
}

QString fileName(const QString &path)
{
    const QString p = normalized(path);
    if (isDriveRoot(p))
        return {};
    return p.mid(p.lastIndexOf(QLatin1Char('\\')) + 1);
}

bool isAbsolute(const QString &path)
{
    return !driveLetter(path).isNull();
}

bool same(const QString &a, const QString &b)
{
    return normalized(a).compare(normalized(b), Qt::CaseInsensitive) == 0;
}

bool forbiddenInName(char32_t c)
{
    return c <= 0x1F || c == '"' || c == '*' || c == '/' || c == ':' || c == '<' || c == '>' || c == '?' || c == '\\'
           || c == '|';
}

namespace {

// The names Windows keeps for devices. The port numbers include the
// superscript digits, which Windows reads as 1, 2 and 3.
bool isDeviceName(QStringView stem)
{
    for (const char *device : {"CON", "PRN", "AUX", "NUL"})
        if (stem.compare(QLatin1String(device), Qt::CaseInsensitive) == 0)
            return true;
    if (stem.size() != 4)
        return false;
    const QStringView port = stem.first(3);
    if (port.compare(QLatin1String("COM"), Qt::CaseInsensitive) != 0
        && port.compare(QLatin1String("LPT"), Qt::CaseInsensitive) != 0)
        return false;
    const char16_t digit = stem.at(3).unicode();
    return (digit >= u'1' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' || digit == u'\u00B3';
}

} // namespace

bool isAllowedFileName(QStringView name)
{
    if (name.isEmpty() || name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return false;
    for (const QChar c : name)
        if (forbiddenInName(c.unicode()))
            return false;
    // The device is what comes before the first dot, blanks before the dot
    // not counted: "con .txt" is CON too.
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    QStringView stem = dot < 0 ? name : name.first(dot);
    while (stem.endsWith(QLatin1Char(' ')))
        stem.chop(1);
    return !isDeviceName(stem);
}

} // namespace winpath
