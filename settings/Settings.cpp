#include "settings/Settings.h"

#include <QByteArray>

#include <vector>

namespace settings {

using namespace platform;

QString ReadSetting(HKEY hive, const QString &keyPath, const QString &valueName)
{
    const QByteArray path = keyPath.toLocal8Bit();
    const QByteArray name = valueName.toLocal8Bit();

    // 1. Open the key; on failure the queries below fail on the null handle.
    HKEY key = nullptr;
    const bool opened = RegOpenKeyA(hive, path.constData(), &key) == ERROR_SUCCESS;
    if (!opened)
        key = nullptr;

    QString result;
    // 2. Type and size only.
    DWORD type = REG_NONE;
    DWORD size = 0;
    const LONG probe = RegQueryValueExA(key, name.constData(), nullptr, &type, nullptr, &size);
    // 3. Anything but a string reads as empty (a missing key or value included).
    if (probe == ERROR_SUCCESS && type == REG_SZ) {
        // 4. A buffer of the reported size, and the data into it.
        std::vector<BYTE> buffer(size);
        DWORD got = size;
        const LONG read = RegQueryValueExA(key, name.constData(), nullptr, &type,
                                           buffer.empty() ? nullptr : buffer.data(), &got);
        // 5. A failed second query reads as empty.
        if (read == ERROR_SUCCESS && type == REG_SZ) {
            // 6. The text before the first NUL, or the whole buffer.
            const QByteArray bytes(reinterpret_cast<const char *>(buffer.data()), qsizetype(got));
            const qsizetype nul = bytes.indexOf('\0');
            result = QString::fromLocal8Bit(nul < 0 ? bytes : bytes.left(nul));
        }
    }
    // 7. Close the key if it was opened.
    if (opened)
        RegCloseKey(key);
    return result;
}

void WriteSetting(HKEY hive, const QString &keyPath, const QString &valueName, const QString &text)
{
    const QByteArray path = keyPath.toLocal8Bit();
    const QByteArray name = valueName.toLocal8Bit();
    QByteArray data = text.toLocal8Bit();
    data.append('\0');

    HKEY key = nullptr;
    RegCreateKeyA(hive, path.constData(), &key);
    RegSetValueExA(key, name.constData(), 0, REG_SZ, reinterpret_cast<const BYTE *>(data.constData()),
                   static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

QString Read(const QString &valueName)
{
    return ReadSetting(HKEY_CURRENT_USER, ProductKey, valueName);
}

void Write(const QString &valueName, const QString &text)
{
    WriteSetting(HKEY_CURRENT_USER, ProductKey, valueName, text);
}

} // namespace settings
