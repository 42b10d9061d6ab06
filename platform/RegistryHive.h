#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

// The registry hive kept in a file on systems without a registry: the key
// tree with typed values, and the text format the Windows registry editor
// exports and imports.
namespace platform::hive {

using Type = std::uint32_t;
inline constexpr Type REG_NONE = 0;
inline constexpr Type REG_SZ = 1;
inline constexpr Type REG_EXPAND_SZ = 2;
inline constexpr Type REG_BINARY = 3;
inline constexpr Type REG_DWORD = 4;
inline constexpr Type REG_MULTI_SZ = 7;

// String types are held as the registry itself holds them: UTF-16LE code
// units, terminating NUL included when the writer gave one.
bool isStringType(Type type);

struct Value {
    QString name; // empty for the key's default value
    Type type = REG_NONE;
    QByteArray data;
};

struct Key {
    QString path; // full path from the root, e.g. "HKEY_CURRENT_USER\Software\Lumadex Viewer"
    QList<Value> values;

    const Value *value(const QString &name) const;
    void setValue(const Value &value);
    bool removeValue(const QString &name);
};

// Key paths and value names compare without regard to letter case.
class Tree {
public:
    const Key *key(const QString &path) const;
    Key *key(const QString &path);
    // Creates the key and every missing parent below the root; returns it.
    Key &createKey(const QString &path);
    // Removes the key and all keys below it.
    void removeKey(const QString &path);
    const QList<Key> &keys() const { return m_keys; }
    bool isEmpty() const { return m_keys.isEmpty(); }

private:
    QList<Key> m_keys; // parents before children, siblings in name order
};

struct ParseResult {
    std::optional<Tree> tree; // empty when the text could not be parsed
    QString error;            // line and reason
};

// Reads a registry-editor file in either encoding: UTF-16LE with its
// byte-order mark under "Windows Registry Editor Version 5.00", or 8-bit
// text under "REGEDIT4" (where string data given in hex are 8-bit bytes).
ParseResult parse(const QByteArray &file);

// Writes the tree as "Windows Registry Editor Version 5.00": UTF-16LE with a
// byte-order mark and CRLF line ends. A string value is written quoted when
// a quoted string holds it exactly, otherwise as hex(N).
QByteArray serialize(const Tree &tree);

} // namespace platform::hive
