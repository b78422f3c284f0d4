#include "colour/keyword_file.h"

#include "colour/colour_errors.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace brindle {

namespace {

// Tells a missing directory from a missing file from one that is there but
// cannot be opened.
Error OpenFailure(const QString& path) {
    const QFileInfo file(path);
    const QFileInfo dir(file.absolutePath());
    if (!dir.isDir()) {
        return PathNotFoundError();
    }
    if (!dir.isExecutable()) {
        return AccessDeniedError(); // the directory cannot be searched
    }
    if (!file.exists()) {
        return FileNotFoundError();
    }
    return AccessDeniedError();
}

} // namespace

QString DecodeCodePage932(QByteArrayView bytes) {
    QStringDecoder decoder("Shift_JIS");
    if (!decoder.isValid()) {
        throw DecoderMissingError();
    }
    QString text = decoder.decode(bytes);
    // The decoder keeps a cut-off lead byte back waiting for its trail byte;
    // one more blank pushes it out as a substitution character.
    text += QString(decoder.decode(QByteArrayView(" ")));
    text.chop(1);
    return text;
}

QString ReadKeywordFileText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw OpenFailure(path);
    }
    if (QFileInfo(file).isDir()) {
        throw AccessDeniedError();
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw DeviceIoError();
    }
    if (bytes.isEmpty()) {
        throw InputPastEndError();
    }
    return DecodeCodePage932(bytes);
}

} // namespace brindle
