#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QtGlobal>

// The texts of the "File's Information" frame and the picture title, which
// the slide shows reuse.
namespace app {

// Length ÷ 1024 rounded half to even, then "KB"; "0KB" becomes the length
// and "bytes". The kilobytes are counted in 64 bits, so large files keep
// their true size.
QString fileSizeText(qint64 length);

// Width " X " height, in pane pixels (fractions as the runtime prints them).
QString pictureSizeText(double width, double height);

// Short date, a blank, the time; no time part at exactly midnight.
QString fileDateText(const QDateTime &modified, const QLocale &locale = QLocale::system());

// Prefix, path, then " (position/count)" with the position counted from 1.
QString pictureTitle(const QString &picturePath, qint64 position, qint64 count);

// A number as the runtime prints a single-precision value: up to seven
// significant digits, no trailing zeros.
QString singleText(double value);

} // namespace app
