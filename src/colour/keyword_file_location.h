#pragma once

#include <QString>
#include <QStringView>

namespace brindle {

// The names of the two keyword files.
inline constexpr char16_t kColourKeywordFile[] = u"KEYWORD_COLOR.CSV";
inline constexpr char16_t kArrangeKeywordFile[] = u"KEYWORD_ARRANGE.CSV";

// The keyword file `name` that the colouring, the formatter and brindle-cli
// read: the user's own copy in UserConfigDirectory() when there is one,
// otherwise the one installed beside the executable. Looked up afresh on every
// call, so a copy put there or taken away counts from the next use. Never
// throws for a missing or unreadable file: reading the path reports that.
QString KeywordFilePath(QStringView name);

// The choice KeywordFilePath makes. The user's copy wins whenever its entry
// is there, also as a dangling link or as something that is not a file, and
// whenever `userDirectory` cannot be searched: a broken copy of the user's
// must give its own error when read, never a silent fall back to the
// installed file. The installed file is used only when the user has no copy
// (no such entry, or no such directory).
QString ChooseKeywordFile(const QString& userDirectory, const QString& programDirectory,
                          QStringView name);

// The directory of the running executable with every link resolved: where the
// installed keyword files stand, also when the program was started through a
// link in a bin directory.
QString ProgramDirectory();

} // namespace brindle
