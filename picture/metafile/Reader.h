#pragma once

#include <QtGlobal>

#include <cstring>

namespace picture::metafile {

// Little-endian reads over one record. A read past the end yields 0 and
// clears ok(), so a record handler decodes all its fields and checks once.
class Reader {
public:
    Reader() = default;
    Reader(const uchar *data, qsizetype size) : m_data(data), m_size(size < 0 ? 0 : size) {}

    qsizetype size() const { return m_size; }
    qsizetype pos() const { return m_pos; }
    qsizetype remaining() const { return m_size - m_pos; }
    bool ok() const { return m_ok; }
    void fail() { m_ok = false; }
    const uchar *data() const { return m_data; }

    bool has(qsizetype count) const { return count >= 0 && count <= m_size - m_pos; }
    void seek(qsizetype pos)
    {
        if (pos < 0 || pos > m_size) {
            m_ok = false;
            m_pos = m_size;
        } else {
            m_pos = pos;
        }
    }
    void skip(qsizetype count) { seek(count < 0 ? -1 : m_pos + count); }

    quint8 u8() { return quint8(take(1)); }
    quint16 u16() { return quint16(take(2)); }
    qint16 i16() { return qint16(quint16(take(2))); }
    quint32 u32() { return quint32(take(4)); }
    qint32 i32() { return qint32(quint32(take(4))); }
    float f32()
    {
        const quint32 bits = u32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // A sub-range [offset, offset + length) of the whole record, or an empty
    // reader with ok() false when it does not fit.
    Reader sub(qint64 offset, qint64 length) const
    {
        if (offset < 0 || length < 0 || offset > m_size || length > m_size - offset) {
            Reader bad;
            bad.m_ok = false;
            return bad;
        }
        return Reader(m_data + offset, qsizetype(length));
    }

private:
    quint64 take(int count)
    {
        if (!has(count)) {
            m_ok = false;
            m_pos = m_size;
            return 0;
        }
        quint64 value = 0;
        for (int i = 0; i < count; ++i)
            value |= quint64(m_data[m_pos + i]) << (8 * i);
        m_pos += count;
        return value;
    }

    const uchar *m_data = nullptr;
    qsizetype m_size = 0;
    qsizetype m_pos = 0;
    bool m_ok = true;
};

} // namespace picture::metafile
