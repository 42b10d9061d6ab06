#pragma once

// The folder of 20,000 files the browser benchmarks list, and the plain
// directory read they are measured against.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdio>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace benchfolder {

// A folder as a camera card or a download folder looks: mostly pictures in
// mixed case, some other files.
inline bool makeFolder(const QString &folder, int count)
{
    static const char *const suffixes[] = {".jpg", ".JPG", ".bmp", ".gif", ".jpeg", ".txt", ".Emf", ".png"};
    const QByteArray base = QFile::encodeName(folder);
    for (int i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/%s_%05d%s", (i % 3) ? "IMG" : "dsc", (i * 7919) % 100000,
                      suffixes[i % 8]);
        const int fd = ::open((base + name).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            return false;
        ::close(fd);
    }
    return true;
}

// The yardstick: every name read and every entry stat'ed, names kept.
inline std::size_t plainReaddirStat(const QByteArray &folder)
{
    std::vector<std::string> names;
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return 0;
    const int fd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        struct stat st;
        if (::fstatat(fd, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode))
            names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    return names.size();
}

} // namespace benchfolder
