#include "platform/RegistryHive.h"

#include <QStringDecoder>
#include <QStringList>

#include <algorithm>

namespace platform::hive {

namespace {

const QString kHeader5 = QStringLiteral("Windows Registry Editor Version 5.00");
const QString kHeader4 = QStringLiteral("REGEDIT4");

QString parentPath(const QString &path)
{
    const int cut = path.lastIndexOf(QLatin1Char('\\'));
    return cut < 0 ? QString() : path.left(cut);
}

bool isBelow(const QString &path, const QString &ancestor)
{
    return path.size() > ancestor.size() && path.at(ancestor.size()) == QLatin1Char('\\')
           && path.startsWith(ancestor, Qt::CaseInsensitive);
}

// Orders a key before its children and siblings by name, without regard to case.
bool keyLess(const QString &a, const QString &b)
{
    const QStringList pa = a.split(QLatin1Char('\\'));
    const QStringList pb = b.split(QLatin1Char('\\'));
    for (int i = 0; i < std::min(pa.size(), pb.size()); ++i) {
        const int c = pa.at(i).compare(pb.at(i), Qt::CaseInsensitive);
        if (c != 0)
            return c < 0;
    }
    return pa.size() < pb.size();
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
    QString error;

    bool fail(const QString &why)
    {
        error = QStringLiteral("line %1: %2").arg(index).arg(why);
        return false;
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

    bool run(Tree &tree)
    {
        Key *current = nullptr;
        while (index < lines.size()) {
            QString line = lines.at(index++);
            if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char(';')))
                continue;
            if (line.startsWith(QLatin1Char('['))) {
                const int close = line.lastIndexOf(QLatin1Char(']'));
                if (close < 0)
                    return fail(QStringLiteral("unclosed key name"));
                QString path = line.mid(1, close - 1);
                if (path.startsWith(QLatin1Char('-'))) {
                    tree.removeKey(path.mid(1));
                    current = nullptr;
                    continue;
                }
                while (path.endsWith(QLatin1Char('\\')))
                    path.chop(1);
                if (path.isEmpty())
                    return fail(QStringLiteral("empty key name"));
                current = &tree.createKey(path);
                continue;
            }
            if (!current)
                return fail(QStringLiteral("value outside a key"));
            // Hex data may continue on following lines after a trailing backslash.
            while (line.trimmed().endsWith(QLatin1Char('\\')) && index < lines.size()) {
                line = line.trimmed();
                line.chop(1);
                line += lines.at(index++).trimmed();
            }
            Value value;
            int pos = 0;
            if (line.startsWith(QLatin1Char('@'))) {
                pos = 1;
            } else {
                const auto name = quotedAt(line, pos);
                if (!name)
                    return fail(QStringLiteral("value name expected"));
                value.name = *name;
            }
            while (pos < line.size() && line.at(pos).isSpace())
                ++pos;
            if (pos >= line.size() || line.at(pos) != QLatin1Char('='))
                return fail(QStringLiteral("'=' expected"));
            ++pos;
            while (pos < line.size() && line.at(pos).isSpace())
                ++pos;
            const QString data = line.mid(pos).trimmed();
            if (data == QLatin1String("-")) {
                current->removeValue(value.name);
                continue;
            }
            if (data.startsWith(QLatin1Char('"'))) {
                int at = pos;
                const auto text = quotedAt(line, at);
                if (!text || !line.mid(at).trimmed().isEmpty())
                    return fail(QStringLiteral("bad string data"));
                value.type = REG_SZ;
                value.data = utf16le(*text + QChar(0));
            } else if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
                bool ok = false;
                const QString digits = data.mid(6);
                const quint32 v = digits.toUInt(&ok, 16);
                if (!ok || digits.isEmpty() || digits.size() > 8)
                    return fail(QStringLiteral("bad dword data"));
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
                        return fail(QStringLiteral("bad hex type"));
                    rest = rest.mid(close + 1);
                }
                if (!rest.startsWith(QLatin1Char(':')))
                    return fail(QStringLiteral("':' expected after hex"));
                const auto bytes = hexBytes(rest.mid(1));
                if (!bytes)
                    return fail(QStringLiteral("bad hex data"));
                value.data = *bytes;
                // The older format holds string data as 8-bit text.
                if (regedit4 && isStringType(value.type))
                    value.data = utf16le(QString::fromLocal8Bit(value.data));
            } else {
                return fail(QStringLiteral("unknown data format"));
            }
            current->setValue(value);
        }
        return true;
    }
};

} // namespace

bool isStringType(Type type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

const Value *Key::value(const QString &name) const
{
    for (const Value &v : values)
        if (v.name.compare(name, Qt::CaseInsensitive) == 0)
            return &v;
    return nullptr;
}

void Key::setValue(const Value &value)
{
    for (Value &v : values) {
        if (v.name.compare(value.name, Qt::CaseInsensitive) == 0) {
            v.type = value.type;
            v.data = value.data;
            return;
        }
    }
    values.append(value);
}

bool Key::removeValue(const QString &name)
{
    const auto count = values.removeIf(
        [&](const Value &v) { return v.name.compare(name, Qt::CaseInsensitive) == 0; });
    return count > 0;
}

const Key *Tree::key(const QString &path) const
{
    for (const Key &k : m_keys)
        if (k.path.compare(path, Qt::CaseInsensitive) == 0)
            return &k;
    return nullptr;
}

Key *Tree::key(const QString &path)
{
    for (Key &k : m_keys)
        if (k.path.compare(path, Qt::CaseInsensitive) == 0)
            return &k;
    return nullptr;
}

Key &Tree::createKey(const QString &path)
{
    if (Key *existing = key(path))
        return *existing;
    const QString parent = parentPath(path);
    // The root itself ("HKEY_CURRENT_USER") is not a key of the file.
    if (parent.contains(QLatin1Char('\\')))
        createKey(parent);
    const auto at = std::lower_bound(m_keys.begin(), m_keys.end(), path,
                                     [](const Key &k, const QString &p) { return keyLess(k.path, p); });
    return *m_keys.insert(at, Key{path, {}});
}

void Tree::removeKey(const QString &path)
{
    m_keys.removeIf([&](const Key &k) {
        return k.path.compare(path, Qt::CaseInsensitive) == 0 || isBelow(k.path, path);
    });
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
        return {std::nullopt, QStringLiteral("no header")};
    const QString header = parser.lines.at(parser.index++).trimmed();
    if (header == kHeader4)
        parser.regedit4 = true;
    else if (header != kHeader5)
        return {std::nullopt, QStringLiteral("not a registry file")};

    Tree tree;
    if (!parser.run(tree))
        return {std::nullopt, parser.error};
    return {std::move(tree), {}};
}

QByteArray serialize(const Tree &tree)
{
    QString text = kHeader5 + QStringLiteral("\r\n");
    for (const Key &key : tree.keys()) {
        text += QStringLiteral("\r\n[") + key.path + QStringLiteral("]\r\n");
        for (const Value &value : key.values)
            text += valueLine(value) + QStringLiteral("\r\n");
    }
    text += QStringLiteral("\r\n");
    return QByteArray("\xFF\xFE", 2) + utf16le(text);
}

} // namespace platform::hive
