#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
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

// The Windows registry's own limits: a key name of at most 255 characters,
// a key path of at most 512 names (the root's included).
inline constexpr int kMaxKeyNameLength = 255;
inline constexpr int kMaxKeyDepth = 512;

// String types are held as the registry itself holds them: UTF-16LE code
// units, terminating NUL included when the writer gave one.
bool isStringType(Type type);

struct Value {
    QString name; // empty for the key's default value
    Type type = REG_NONE;
    QByteArray data;
    friend bool operator==(const Value &, const Value &) = default;
};

// True when a key or value name can stand on one line of the file: it holds
// no line break.
bool fitsOnALine(const QString &name);

// The names of a key path ("HKEY_CURRENT_USER\Software\Lumadex Viewer"), or
// nothing when the path is not one a key can have: an empty name (two
// separators in a row, a leading one), a name longer than kMaxKeyNameLength
// or with a line break, more than kMaxKeyDepth names, or a first name
// starting with "-" (which the file format reads as a deletion).
std::optional<QStringList> splitKeyPath(const QString &path);

class Tree;

// One key: its name as first spelled and its values. Value names compare
// without regard to letter case; values are kept in that order.
class Key {
public:
    const QString &name() const { return m_name; }
    const Value *value(const QString &name) const;
    void setValue(const Value &value);
    bool removeValue(const QString &name);
    QList<Value> values() const;
    bool hasValues() const { return !m_values.empty(); }
    bool hasChildren() const { return !m_children.empty(); }
    friend bool operator==(const Key &a, const Key &b);

private:
    friend class Tree;
    friend bool operator==(const Tree &a, const Tree &b);
    QString m_name;
    std::map<QString, Value> m_values;                  // by case-folded name
    std::map<QString, std::unique_ptr<Key>> m_children; // by case-folded name
};

// The key tree. Key paths compare without regard to letter case; a key's
// parents exist while it does, as in the registry.
class Tree {
public:
    Tree() = default;
    Tree(const Tree &other);
    Tree &operator=(const Tree &other);
    Tree(Tree &&) noexcept = default;
    Tree &operator=(Tree &&) noexcept = default;

    const Key *key(const QString &path) const;
    Key *key(const QString &path);
    // Creates the key and every missing parent; returns it. `path` must be
    // valid (splitKeyPath); an invalid path gives null and changes nothing.
    Key *createKey(const QString &path);
    Key &createKey(const QStringList &names);
    // Removes the key and all keys below it.
    void removeKey(const QString &path);
    bool isEmpty() const { return m_roots.empty(); }
    // Every key with its full path, parents before children, siblings in
    // name order.
    void forEachKey(const std::function<void(const QString &path, const Key &key)> &visit) const;
    // Same keys, spelled alike, with the same values.
    friend bool operator==(const Tree &a, const Tree &b);

private:
    using Children = std::map<QString, std::unique_ptr<Key>>;
    static void copyChildren(const Children &from, Children &to);
    static void visitChildren(const Children &children, QString &path,
                              const std::function<void(const QString &path, const Key &key)> &visit);
    Children m_roots; // by case-folded name
};

struct ParseResult {
    std::optional<Tree> tree; // empty when the bytes are no registry-editor file at all
    QString error;            // why not, or the first line that was skipped
    int skippedLines = 0;     // lines that did not parse and were left out
};

// Reads a registry-editor file in either encoding: UTF-16LE with its
// byte-order mark under "Windows Registry Editor Version 5.00", or 8-bit
// text under "REGEDIT4" (where string data given in hex are 8-bit bytes).
// A line that does not parse is skipped and counted, as the registry editor
// imports what it can; so are the values below a key line that was skipped.
ParseResult parse(const QByteArray &file);

// Writes the tree as "Windows Registry Editor Version 5.00": UTF-16LE with a
// byte-order mark and CRLF line ends. A key is written when it has values or
// no sub-keys (the others are implied by their sub-keys' paths). A string
// value is written quoted when a quoted string holds it exactly, otherwise
// as hex(N). parse() reads back exactly the tree written.
QByteArray serialize(const Tree &tree);

// Text as a file of that format holds it: UTF-16LE behind a byte-order mark.
QByteArray fileBytes(const QString &text);

} // namespace platform::hive
