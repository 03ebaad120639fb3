#include "shell_text.h"

#include <QFile>
#include <QStringDecoder>

namespace lumora {

namespace {
QByteArrayView View(const std::string& bytes) { return QByteArrayView(bytes.data(), qsizetype(bytes.size())); }
std::string Bytes(const QByteArray& bytes) { return std::string(bytes.constData(), std::size_t(bytes.size())); }
}  // namespace

std::string PathBytes(const QString& path) { return Bytes(QFile::encodeName(path)); }

QString PathText(const std::string& bytes) { return QFile::decodeName(View(bytes).toByteArray()); }

std::string NameBytes(const QString& text) { return Bytes(text.toLatin1()); }

QString NameText(const std::string& bytes) { return QString::fromLatin1(View(bytes)); }

QString MessageText(const std::string& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(View(bytes));
    return utf8.hasError() ? NameText(bytes) : text;
}

}  // namespace lumora
