#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The single-byte code page of the work list file. The mapping comes from ICU's converter for
// windows-1251 (the library Qt itself links for locale services), read once into a table of the
// 256 byte values, so that every byte, 0x98 included, survives a read followed by a write.
namespace windows1251 {

QString decode(QByteArrayView bytes);
// Decodes into out, reusing its storage: a reader of a million lines allocates nothing per line.
void decodeInto(QByteArrayView bytes, QString& out);

// Position of the first character that has no code in Windows-1251, or -1 when there is none.
qsizetype firstUnencodable(QStringView text);

// Appends the encoded text to out. The text must be encodable (see firstUnencodable); an
// unencodable character raises an error naming it.
void encodeAppend(QStringView text, QByteArray& out);
// The same without raising: false (and out unchanged) when a character has no code.
bool tryEncodeAppend(QStringView text, QByteArray& out);

} // namespace windows1251
