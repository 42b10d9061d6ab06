#include "platform/RegistryHive.h"

#include <QStringDecoder>
#include <QStringList>

#include <algorithm>

namespace platform::hive {

namespace {

const QString kHeader5 = QStringLiteral("Windows Registry Editor Version 5.00");
const QString kHeader4 = QStringLiteral("REGEDIT4");

// Names are looked up by their simple case folding, as the registry compares them.
QString folded(const QString &name)
{
    return name.toCaseFolded();
}

QByteArray utf16le(const QString &text)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    for (QChar c : text) {
        out.append(char(c.unicode() & 0xFF));
        out.append(char(c.unicode() >> 8));
    }
    return out;
}

QString fromUtf16le(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        text.append(QChar(char16_t(quint8(bytes.at(i)) | (quint8(bytes.at(i + 1)) << 8))));
    return text;
}

QString quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
            out.append(QLatin1Char('\\'));
        out.append(c);
    }
    out.append(QLatin1Char('"'));
    return out;
}

// The text of a string value that a quoted string holds exactly, if any:
// one terminating NUL, no other NUL, no control characters.
std::optional<QString> quotableText(const Value &value)
{
    if (value.type != REG_SZ || value.data.size() % 2 != 0 || value.data.size() < 2)
        return std::nullopt;
    QString text = fromUtf16le(value.data);
    if (text.back() != QChar(0))
        return std::nullopt;
    text.chop(1);
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.isSurrogate())
            return std::nullopt;
    return text;
}

QString hexData(const QString &prefix, const QByteArray &data)
{
    // Wrapped as the registry editor wraps it: lines of at most 80 columns,
    // continued with a backslash and two blanks.
    QString out = prefix;
    int column = prefix.size();
    for (qsizetype i = 0; i < data.size(); ++i) {
        QString byte = QStringLiteral("%1").arg(quint8(data.at(i)), 2, 16, QLatin1Char('0'));
        if (i + 1 < data.size())
            byte.append(QLatin1Char(','));
        if (column + byte.size() > 78 && i + 1 < data.size()) {
            out.append(QStringLiteral("\\\r\n  "));
            column = 2;
        }
        out.append(byte);
        column += byte.size();
    }
    return out;
}

QString valueLine(const Value &value)
{
    const QString name = value.name.isEmpty() ? QStringLiteral("@") : quoted(value.name);
    if (const auto text = quotableText(value))
        return name + QLatin1Char('=') + quoted(*text);
    if (value.type == REG_DWORD && value.data.size() == 4) {
        const quint32 v = quint8(value.data.at(0)) | (quint8(value.data.at(1)) << 8)
                          | (quint8(value.data.at(2)) << 16) | (quint32(quint8(value.data.at(3))) << 24);
        return name + QStringLiteral("=dword:%1").arg(v, 8, 16, QLatin1Char('0'));
    }
    const QString prefix = value.type == REG_BINARY
                               ? name + QStringLiteral("=hex:")
                               : name + QStringLiteral("=hex(%1):").arg(value.type, 0, 16);
    return hexData(prefix, value.data);
}

struct Parser {
    QStringList lines;
    int index = 0;
    bool regedit4 = false;
    ParseResult result;

    // Leaves the line out; the first reason is kept for the message.
    void skip(const QString &why)
    {
        if (result.skippedLines++ == 0)
            result.error = QStringLiteral("line %1: %2").arg(index).arg(why);
    }

    // Reads a quoted string starting at `pos` (the opening quote); moves `pos` past it.
    std::optional<QString> quotedAt(const QString &line, int &pos)
    {
        if (pos >= line.size() || line.at(pos) != QLatin1Char('"'))
            return std::nullopt;
        QString text;
        for (++pos; pos < line.size(); ++pos) {
            const QChar c = line.at(pos);
            if (c == QLatin1Char('\\') && pos + 1 < line.size()) {
                text.append(line.at(++pos));
            } else if (c == QLatin1Char('"')) {
                ++pos;
                return text;
            } else {
                text.append(c);
            }
        }
        return std::nullopt;
    }

    std::optional<QByteArray> hexBytes(QString text)
    {
        text.remove(QLatin1Char(' '));
        text.remove(QLatin1Char('\t'));
        QByteArray out;
        if (text.isEmpty())
            return out;
        for (const QString &part : text.split(QLatin1Char(','))) {
            bool ok = false;
            const uint byte = part.toUInt(&ok, 16);
            if (!ok || part.isEmpty() || part.size() > 2 || byte > 0xFF)
                return std::nullopt;
            out.append(char(byte));
        }
        return out;
    }

    // The value a value line states, or the reason it does not parse. A
    // deletion ("name"=-) gives a value of type REG_NONE with `deleted` set.
    std::optional<Value> valueOf(const QString &line, bool *deleted, QString *why)
    {
        Value value;
        int pos = 0;
        *deleted = false;
        if (line.startsWith(QLatin1Char('@'))) {
            pos = 1;
        } else {
            const auto name = quotedAt(line, pos);
            if (!name)
                return *why = QStringLiteral("value name expected"), std::nullopt;
            value.name = *name;
        }
        while (pos < line.size() && line.at(pos).isSpace())
            ++pos;
        if (pos >= line.size() || line.at(pos) != QLatin1Char('='))
            return *why = QStringLiteral("'=' expected"), std::nullopt;
        ++pos;
        while (pos < line.size() && line.at(pos).isSpace())
            ++pos;
        const QString data = line.mid(pos).trimmed();
        if (data == QLatin1String("-")) {
            *deleted = true;
            return value;
        }
        if (data.startsWith(QLatin1Char('"'))) {
            int at = pos;
            const auto text = quotedAt(line, at);
            if (!text || !line.mid(at).trimmed().isEmpty())
                return *why = QStringLiteral("bad string data"), std::nullopt;
            value.type = REG_SZ;
            value.data = utf16le(*text + QChar(0));
        } else if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
            bool ok = false;
            const QString digits = data.mid(6);
            const quint32 v = digits.toUInt(&ok, 16);
            if (!ok || digits.isEmpty() || digits.size() > 8)
                return *why = QStringLiteral("bad dword data"), std::nullopt;
            value.type = REG_DWORD;
            value.data = QByteArray(4, '\0');
            for (int i = 0; i < 4; ++i)
                value.data[i] = char((v >> (8 * i)) & 0xFF);
        } else if (data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive)) {
            QString rest = data.mid(3);
            value.type = REG_BINARY;
            if (rest.startsWith(QLatin1Char('('))) {
                const int close = rest.indexOf(QLatin1Char(')'));
                bool ok = false;
                const QString digits = rest.mid(1, close - 1);
                value.type = digits.toUInt(&ok, 16);
                if (close < 0 || !ok || digits.isEmpty() || digits.size() > 8)
                    return *why = QStringLiteral("bad hex type"), std::nullopt;
                rest = rest.mid(close + 1);
            }
            if (!rest.startsWith(QLatin1Char(':')))
                return *why = QStringLiteral("':' expected after hex"), std::nullopt;
            const auto bytes = hexBytes(rest.mid(1));
            if (!bytes)
                return *why = QStringLiteral("bad hex data"), std::nullopt;
            value.data = *bytes;
            // The older format holds string data as 8-bit text.
            if (regedit4 && isStringType(value.type))
                value.data = utf16le(QString::fromLocal8Bit(value.data));
        } else {
            return *why = QStringLiteral("unknown data format"), std::nullopt;
        }
        return value;
    }

    void run(Tree &tree)
    {
        Key *current = nullptr;
        // After a key line that was skipped its values go too: they must not
        // land in the key before it.
        bool inSkippedKey = false;
        while (index < lines.size()) {
            QString line = lines.at(index++);
            if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char(';')))
                continue;
            if (line.startsWith(QLatin1Char('['))) {
                current = nullptr;
                inSkippedKey = true;
                const int close = line.lastIndexOf(QLatin1Char(']'));
                if (close < 0) {
                    skip(QStringLiteral("unclosed key name"));
                    continue;
                }
                QString path = line.mid(1, close - 1);
                if (path.startsWith(QLatin1Char('-'))) {
                    tree.removeKey(path.mid(1));
                    inSkippedKey = false;
                    continue;
                }
                while (path.endsWith(QLatin1Char('\\')))
                    path.chop(1);
                const std::optional<QStringList> names = splitKeyPath(path);
                if (!names) {
                    skip(QStringLiteral("not a key name the registry allows"));
                    continue;
                }
                current = &tree.createKey(*names);
                inSkippedKey = false;
                continue;
            }
            // Hex data may continue on following lines after a trailing backslash.
            while (line.trimmed().endsWith(QLatin1Char('\\')) && index < lines.size()) {
                line = line.trimmed();
                line.chop(1);
                line += lines.at(index++).trimmed();
            }
            if (!current) {
                skip(inSkippedKey ? QStringLiteral("value of a skipped key") : QStringLiteral("value outside a key"));
                continue;
            }
            bool deleted = false;
            QString why;
            const std::optional<Value> value = valueOf(line, &deleted, &why);
            if (!value)
                skip(why);
            else if (deleted)
                current->removeValue(value->name);
            else
                current->setValue(*value);
        }
    }
};

} // namespace

bool isStringType(Type type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

bool fitsOnALine(const QString &name)
{
    return !name.contains(QLatin1Char('\n')) && !name.contains(QLatin1Char('\r'));
}

std::optional<QStringList> splitKeyPath(const QString &path)
{
    QStringList names = path.split(QLatin1Char('\\'));
    if (names.size() > kMaxKeyDepth || names.first().startsWith(QLatin1Char('-')) || !fitsOnALine(path))
        return std::nullopt;
    for (const QString &name : names)
        if (name.isEmpty() || name.size() > kMaxKeyNameLength)
            return std::nullopt;
    return names;
}

const Value *Key::value(const QString &name) const
{
    const auto it = m_values.find(folded(name));
    return it == m_values.end() ? nullptr : &it->second;
}

void Key::setValue(const Value &value)
{
    const auto [it, added] = m_values.try_emplace(folded(value.name), value);
    if (!added) {
        // The name keeps its first spelling.
        it->second.type = value.type;
        it->second.data = value.data;
    }
}

bool Key::removeValue(const QString &name)
{
    return m_values.erase(folded(name)) > 0;
}

QList<Value> Key::values() const
{
    QList<Value> list;
    list.reserve(qsizetype(m_values.size()));
    for (const auto &entry : m_values)
        list.append(entry.second);
    return list;
}

namespace {

using Children = std::map<QString, std::unique_ptr<Key>>;

bool sameChildren(const Children &a, const Children &b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](const auto &x, const auto &y) {
                  return x.first == y.first && *x.second == *y.second;
              });
}

} // namespace

bool operator==(const Key &a, const Key &b)
{
    return a.m_name == b.m_name && a.m_values == b.m_values && sameChildren(a.m_children, b.m_children);
}

bool operator==(const Tree &a, const Tree &b)
{
    return sameChildren(a.m_roots, b.m_roots);
}

Tree::Tree(const Tree &other)
{
    *this = other;
}

// Recursion is safe here: no key path is deeper than kMaxKeyDepth.
void Tree::copyChildren(const Children &from, Children &to)
{
    for (const auto &[name, key] : from) {
        auto copy = std::make_unique<Key>();
        copy->m_name = key->m_name;
        copy->m_values = key->m_values;
        copyChildren(key->m_children, copy->m_children);
        to.emplace(name, std::move(copy));
    }
}

void Tree::visitChildren(const Children &children, QString &path,
                         const std::function<void(const QString &path, const Key &key)> &visit)
{
    // One path buffer, grown and cut back on the way down and up, so a deep
    // tree costs its names once rather than once per level.
    const qsizetype length = path.size();
    for (const auto &[name, key] : children) {
        path.truncate(length);
        if (length > 0)
            path += QLatin1Char('\\');
        path += key->m_name;
        visit(path, *key);
        visitChildren(key->m_children, path, visit);
    }
    path.truncate(length);
}

Tree &Tree::operator=(const Tree &other)
{
    if (this != &other) {
        Children roots;
        copyChildren(other.m_roots, roots);
        m_roots = std::move(roots);
    }
    return *this;
}

const Key *Tree::key(const QString &path) const
{
    const Children *level = &m_roots;
    const Key *found = nullptr;
    for (const QString &name : path.split(QLatin1Char('\\'))) {
        const auto it = level->find(folded(name));
        if (it == level->end())
            return nullptr;
        found = it->second.get();
        level = &found->m_children;
    }
    return found;
}

Key *Tree::key(const QString &path)
{
    return const_cast<Key *>(std::as_const(*this).key(path));
}

Key &Tree::createKey(const QStringList &names)
{
    Q_ASSERT(!names.isEmpty());
    Children *level = &m_roots;
    Key *key = nullptr;
    for (const QString &name : names) {
        std::unique_ptr<Key> &slot = (*level)[folded(name)];
        if (!slot) {
            slot = std::make_unique<Key>();
            slot->m_name = name;
        }
        key = slot.get();
        level = &key->m_children;
    }
    return *key;
}

Key *Tree::createKey(const QString &path)
{
    const std::optional<QStringList> names = splitKeyPath(path);
    return names ? &createKey(*names) : nullptr;
}

void Tree::removeKey(const QString &path)
{
    const QStringList names = path.split(QLatin1Char('\\'));
    Children *level = &m_roots;
    for (qsizetype i = 0; i + 1 < names.size(); ++i) {
        const auto it = level->find(folded(names.at(i)));
        if (it == level->end())
            return;
        level = &it->second->m_children;
    }
    level->erase(folded(names.last()));
}

void Tree::forEachKey(const std::function<void(const QString &path, const Key &key)> &visit) const
{
    QString path;
    visitChildren(m_roots, path, visit);
}

ParseResult parse(const QByteArray &file)
{
    QString text;
    if (file.startsWith("\xFF\xFE")) {
        text = fromUtf16le(file.mid(2));
    } else if (file.startsWith("\xEF\xBB\xBF")) {
        text = QString::fromUtf8(file.mid(3));
    } else {
        text = QString::fromLocal8Bit(file);
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    Parser parser;
    parser.lines = text.split(QLatin1Char('\n'));
    while (parser.index < parser.lines.size() && parser.lines.at(parser.index).trimmed().isEmpty())
        ++parser.index;
    if (parser.index >= parser.lines.size())
        return {std::nullopt, QStringLiteral("no header"), 0};
    const QString header = parser.lines.at(parser.index++).trimmed();
    if (header == kHeader4)
        parser.regedit4 = true;
    else if (header != kHeader5)
        return {std::nullopt, QStringLiteral("not a registry file"), 0};

    Tree tree;
    parser.run(tree);
    parser.result.tree = std::move(tree);
    return std::move(parser.result);
}

QByteArray serialize(const Tree &tree)
{
    QString text = kHeader5 + QStringLiteral("\r\n");
    tree.forEachKey([&](const QString &path, const Key &key) {
        if (!key.hasValues() && key.hasChildren())
            return;
        text += QStringLiteral("\r\n[") + path + QStringLiteral("]\r\n");
        for (const Value &value : key.values())
            text += valueLine(value) + QStringLiteral("\r\n");
    });
    text += QStringLiteral("\r\n");
    return fileBytes(text);
}

QByteArray fileBytes(const QString &text)
{
    return QByteArray("\xFF\xFE", 2) + utf16le(text);
}

} // namespace platform::hive
