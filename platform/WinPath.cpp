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

} // namespace winpath
