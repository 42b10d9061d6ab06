// hive_seeds OUTDIR: writes registry-editor files for the hive fuzzer, in
// both encodings and with every kind of line the parser knows.
#include "platform/RegistryHive.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>

namespace {

using platform::hive::fileBytes;

const char kSettings[] =
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Lumadex Viewer]\r\n"
    "\"TrayIcon\"=\"1\"\r\n\"BackColor\"=\"-2147483633\"\r\n\"Speed\"=\"1000\"\r\n"
    "\"AutoJump\"=\"C:\\\\Photos\\\\\\\"quoted\\\"\"\r\n\"First\"=\"1\"\r\n\r\n";

const char kTypes[] =
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
    "@=\"default\"\r\n\"TileWallpaper\"=dword:00000001\r\n"
    "\"Path\"=hex(2):25,00,55,00,53,00,45,00,52,00,25,00,00,00\r\n"
    "\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\r\n"
    "  17,18,19,1a\r\n"
    "\"NoNul\"=hex(1):41,00\r\n\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
    "\"Odd\"=hex(abcd):ff\r\n\r\n"
    "[HKEY_CURRENT_USER\\Control Panel\\Desktop\\Sub Key]\r\n\"x\"=\"y\"\r\n";

const char kEdits[] =
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "; a comment\r\n[HKEY_CURRENT_USER\\A]\r\n\"gone\"=\"soon\"\r\n\"gone\"=-\r\n"
    "[HKEY_CURRENT_USER\\A\\B\\C]\r\n\"k\"=\"v\"\r\n[-HKEY_CURRENT_USER\\A\\B]\r\n"
    "[HKEY_CURRENT_USER\\A\\D]\r\n\"kept\"=dword:ffffffff\r\n";

const char kRegedit4[] =
    "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Lumadex Viewer]\n\"Locate\"=\"C:\\\\\"\n"
    "\"Bytes\"=hex(2):43,3a,5c,00\n";

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const QString dir = QFile::decodeName(argv[1]);
    QDir().mkpath(dir);
    const struct {
        const char *name;
        QByteArray data;
    } seeds[] = {
        {"settings.reg", fileBytes(QString::fromLatin1(kSettings))},
        {"types.reg", fileBytes(QString::fromLatin1(kTypes))},
        {"edits.reg", fileBytes(QString::fromLatin1(kEdits))},
        {"regedit4.reg", QByteArray(kRegedit4)},
        {"utf8-bom.reg", QByteArray("\xef\xbb\xbf") + QByteArray(kSettings)},
    };
    for (const auto &seed : seeds) {
        QFile file(dir + QLatin1Char('/') + QLatin1String(seed.name));
        if (!file.open(QIODevice::WriteOnly) || file.write(seed.data) != seed.data.size())
            return 1;
    }
    return 0;
}
