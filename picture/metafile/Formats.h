#pragma once

// The two file formats: parsing the header and the record list at load, and
// playing the records through a Player.

#include <QByteArray>
#include <QPainter>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QTransform>

#include <vector>

namespace picture::metafile {

struct Record {
    qsizetype offset; // of the whole record, header included
    qsizetype size;
    quint32 type;
};

struct Parsed {
    bool emf = false;
    QByteArray data;
    std::vector<Record> records;
    int objectCount = 0;
    double devicePixelsPerMm = 96 / 25.4;
    QRectF frame;           // device units; stretched over the target when playing
    QSize naturalSize;      // pixels at 96 per inch
    // WMF: the window and viewport the player starts from.
    bool hasInitialWindow = false;
    QRectF initialWindow;
};

struct PlayResult {
    qint64 damagedRecord = -1; // index of the record that stopped the play
    QString damage;
    QRectF drawnBounds; // device units
};

bool parseWmf(const QByteArray &data, Parsed *out, QString *error);
bool parseEmf(const QByteArray &data, Parsed *out, QString *error);

// `painter` null: a dry run that checks every record and measures the drawing.
PlayResult playWmf(const Parsed &file, QPainter *painter, const QTransform &deviceToTarget);
PlayResult playEmf(const Parsed &file, QPainter *painter, const QTransform &deviceToTarget);

bool isPlaceableWmf(const QByteArray &data);
bool isPlainWmf(const QByteArray &data);
bool isEmf(const QByteArray &data);

} // namespace picture::metafile
