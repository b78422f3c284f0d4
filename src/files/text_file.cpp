#include "files/text_file.h"

#include "core/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <utility>

namespace brindle {

namespace {

constexpr char kCodePage[] = "Shift_JIS";
const QByteArray kBom("\xEF\xBB\xBF", 3);

bool HasNonAscii(const QByteArray& bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    }
    return false;
}

// Every line end becomes CR LF, and a last line without one gets it. A text
// that has only CR LF already is given back as it is, without a copy.
QString NormaliseLines(QString text, LineEnds* style) {
    bool sawCr = false;
    bool sawLoneLf = false;
    const qsizetype n = text.size();
    const QChar* chars = text.constData();
    // Where the first line end other than CR LF stands.
    qsizetype odd = n;
    for (qsizetype i = 0; i < n; ++i) {
        if (chars[i] == u'\r') {
            sawCr = true;
            if (i + 1 < n && chars[i + 1] == u'\n') {
                ++i;
                continue;
            }
            odd = i;
            break;
        }
        if (chars[i] == u'\n') {
            odd = i;
            break;
        }
    }
    const bool ends = n == 0 || chars[n - 1] == u'\r' || chars[n - 1] == u'\n';
    if (odd == n && ends) {
        if (style)
            *style = LineEnds::CrLf;
        return text;
    }
    QString out;
    out.reserve(n + (n - odd) / 16 + 2);
    out.append(QStringView(chars, odd));
    qsizetype from = odd;
    for (qsizetype i = odd; i < n; ++i) {
        const QChar c = chars[i];
        if (c != u'\r' && c != u'\n')
            continue;
        out.append(QStringView(chars + from, i - from));
        out.append(u"\r\n");
        if (c == u'\r') {
            sawCr = true;
            if (i + 1 < n && chars[i + 1] == u'\n')
                ++i;
        } else {
            sawLoneLf = true;
        }
        from = i + 1;
    }
    out.append(QStringView(chars + from, n - from));
    if (!ends)
        out.append(u"\r\n");
    if (style)
        *style = (sawLoneLf && !sawCr) ? LineEnds::Lf : LineEnds::CrLf;
    return out;
}

Error FileError(int number, const QString& what, const QString& path) {
    return {number, what + QStringLiteral(": ") + QDir::toNativeSeparators(path)};
}

} // namespace

bool FitsCp932(QStringView text) {
    QStringEncoder encoder(kCodePage);
    const QByteArray bytes = encoder.encode(text);
    return encoder.isValid() && !encoder.hasError();
}

TextFileContent DecodeTextFile(const QByteArray& bytes) {
    TextFileContent content;
    QString decoded;
    if (bytes.startsWith(kBom)) {
        content.format.encoding = TextEncoding::Utf8Bom;
        decoded = QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    } else if (HasNonAscii(bytes) && QByteArrayView(bytes).isValidUtf8()) {
        content.format.encoding = TextEncoding::Utf8;
        decoded = QString::fromUtf8(bytes);
    } else {
        content.format.encoding = TextEncoding::Cp932;
        QStringDecoder decoder(kCodePage);
        decoded = decoder.isValid() ? decoder.decode(bytes) : QString::fromLatin1(bytes);
    }
    content.text = NormaliseLines(std::move(decoded), &content.format.lineEnds);
    return content;
}

TextFileContent ReadTextFileContent(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        if (!info.absoluteDir().exists())
            throw FileError(err::PathNotFound, QStringLiteral("パスが見つかりません"), path);
        throw FileError(err::FileNotFound, QStringLiteral("ファイルが見つかりません"), path);
    }
    if (!info.isFile())
        throw FileError(75, QStringLiteral("パス名が無効です"), path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(err::PermissionDenied, QStringLiteral("ファイルを読み込めません"), path);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(57, QStringLiteral("ファイルの読み込み中にエラーが発生しました"), path);
    return DecodeTextFile(bytes);
}

QByteArray EncodeTextFile(QStringView text, const TextFileFormat& format, TextFileFormat* written) {
    TextFileFormat used = format;
    if (used.encoding == TextEncoding::Cp932 && !FitsCp932(text))
        used.encoding = TextEncoding::Utf8;
    QString lines;
    QStringView body = text;
    if (used.lineEnds == LineEnds::Lf) {
        lines = text.toString();
        lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        body = lines;
    }
    QByteArray bytes;
    switch (used.encoding) {
    case TextEncoding::Cp932: {
        QStringEncoder encoder(kCodePage);
        bytes = encoder.encode(body);
        break;
    }
    case TextEncoding::Utf8Bom:
        bytes = kBom + body.toUtf8();
        break;
    case TextEncoding::Utf8:
        bytes = body.toUtf8();
        break;
    }
    if (written)
        *written = used;
    return bytes;
}

TextFileFormat WriteTextFileContent(const QString& path, QStringView text,
                                    const TextFileFormat& format) {
    TextFileFormat used;
    const QByteArray bytes = EncodeTextFile(text, format, &used);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (!QFileInfo(path).absoluteDir().exists())
            throw FileError(err::PathNotFound, QStringLiteral("パスが見つかりません"), path);
        throw FileError(err::PermissionDenied,
                        QStringLiteral("ファイルに書き込めません (") + file.errorString() +
                            QStringLiteral(")"),
                        path);
    }
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw FileError(61,
                        QStringLiteral("ファイルを保存できません (") + file.errorString() +
                            QStringLiteral(")"),
                        path);
    return used;
}

} // namespace brindle
