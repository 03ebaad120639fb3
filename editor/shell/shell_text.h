// How text crosses between Qt and the byte strings of the document core.
// File names are the system's own bytes (QFile::encodeName / decodeName), so
// any name the system allows opens and saves; names inside the database are
// single-byte ISO 8859-1 text; messages may carry either.
#pragma once

#include <QString>
#include <string>

namespace lumora {

// A file name as the system spells it, and back.
std::string PathBytes(const QString& path);
QString PathText(const std::string& bytes);

// A name of the database: one byte per character, ISO 8859-1.
std::string NameBytes(const QString& text);
QString NameText(const std::string& bytes);

// A message for a person. A message that names a file carries the file name's
// bytes, which the system writes as UTF-8; anything that is not valid UTF-8
// is database text.
QString MessageText(const std::string& bytes);

}  // namespace lumora
