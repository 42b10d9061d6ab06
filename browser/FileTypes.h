#pragma once

#include <QString>
#include <QStringList>

namespace app {

// The entries of the file-type filter, in their order. The first stands for
// every readable format; each other entry is its own pattern.
inline const QString AllReadableFormat = QStringLiteral("All Readable Format");
inline const QString AllReadablePattern = QStringLiteral("*.bmp;*.gif;*.jpg;*.ico;*.cur;*.Rle;*.Dib;*.Wmf;*.Emf");
inline const QStringList FilterEntries{
    AllReadableFormat,
    QStringLiteral("*.bmp;*.gif;*.jpg;*.ico;*.cur"),
    QStringLiteral("*.Rle;*.Dib;*.Wmf;*.Emf"),
    QStringLiteral("*.bmp;*.gif;*.jpg"),
    QStringLiteral("*.ico;*.cur"),
    QStringLiteral("*.bmp"),
    QStringLiteral("*.jpg"),
    QStringLiteral("*.gif"),
    QStringLiteral("*.ico"),
    QStringLiteral("*.cur"),
};

// The window title's prefix before a folder or picture path.
inline const QString TitlePrefix = QStringLiteral("Lumadex Viewer 3.01  - ");

} // namespace app
