#include "controls/FolderReader.h"

#include <QFile>

#include <algorithm>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace controls {

namespace {

// Greedy glob with one back-tracking point, over case-folded text.
bool globMatch(QStringView pattern, QStringView name)
{
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == QLatin1Char('?') || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

} // namespace

FilePattern::FilePattern(const QString &patterns)
{
    const QStringList parts = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QString p = part.trimmed().toCaseFolded();
        if (p.isEmpty())
            continue;
        if (p == QLatin1String("*.*") || p == QLatin1String("*"))
            m_all = true;
        m_patterns << p;
    }
    if (m_patterns.isEmpty())
        m_all = true;
}

bool FilePattern::matches(const QString &name) const
{
    if (m_all)
        return true;
    const QString folded = name.toCaseFolded();
    return std::any_of(m_patterns.cbegin(), m_patterns.cend(),
                       [&](const QString &p) { return globMatch(p, folded); });
}

std::optional<FolderEntries> readFolder(const QString &hostFolder, FolderParts parts)
{
    if (hostFolder.isEmpty())
        return std::nullopt;
    DIR *dir = ::opendir(QFile::encodeName(hostFolder).constData());
    if (!dir)
        return std::nullopt;
    const int fd = ::dirfd(dir);
    FolderEntries result;
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.') // also "." and ".."
            continue;
        bool isFile = entry->d_type == DT_REG;
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat st;
            if (::fstatat(fd, entry->d_name, &st, 0) != 0)
                continue; // a dangling link
            isFile = S_ISREG(st.st_mode);
            isFolder = S_ISDIR(st.st_mode);
        }
        if (parts == FolderParts::Files && isFile)
            result.files << QFile::decodeName(entry->d_name);
        else if (parts == FolderParts::Folders && isFolder)
            result.folders << QFile::decodeName(entry->d_name);
    }
    ::closedir(dir);
    return result;
}

bool canListFolder(const QString &hostFolder)
{
    if (hostFolder.isEmpty())
        return false;
    DIR *dir = ::opendir(QFile::encodeName(hostFolder).constData());
    if (!dir)
        return false;
    ::closedir(dir);
    return true;
}

void sortNamesIgnoringCase(QStringList &names)
{
    // Folding once per name keeps the sort of a large folder cheap.
    struct Keyed {
        QString key;
        QString name;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(names.size()));
    for (QString &name : names)
        keyed.push_back({name.toCaseFolded(), std::move(name)});
    std::sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        const int c = a.key.compare(b.key);
        return c != 0 ? c < 0 : a.name < b.name;
    });
    for (qsizetype i = 0; i < names.size(); ++i)
        names[i] = std::move(keyed[size_t(i)].name);
}

} // namespace controls
