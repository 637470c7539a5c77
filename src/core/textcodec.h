#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Turns the program's texts into the bytes its data files hold and back.
// The files are in the Chinese ANSI code page (GBK); the platform layer
// supplies the real codec, the core only needs this interface.
class TextCodec
{
public:
    virtual ~TextCodec() = default;
    virtual QByteArray encode(QStringView text) const = 0;
    virtual QString decode(QByteArrayView bytes) const = 0;
};
