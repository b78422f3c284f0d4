#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

// What name completion offers at the caret, read from the SQL text alone.
// Keywords match in any letter case; names are bare (letters of any script,
// digits, _, $, @, #) or quoted ("..." with "" inside, `...`, [...]).
// Nothing here needs the text to parse: any text, any caret gives an answer.
namespace brindle::completion {

enum class Want {
    Nothing,  // caret in a comment, a string literal or a number: no completion
    Anything, // tables, columns of the batch's tables, keywords
    Table,    // the word follows FROM, JOIN, INTO or UPDATE (also after a comma in a FROM
              // list): table names
    ColumnOf, // the word follows "qualifier.": columns of that table/alias (or, if the
              // qualifier is a schema, its tables)
};

struct TableRef {
    QStringList name;       // its parts without quotes: {"public", "orders"} or {"orders"}
    QString alias;          // empty when none
    QList<bool> nameQuoted; // per part of name: it was quoted, so its letter case counts
    bool aliasQuoted = false;
};

struct Context {
    Want want = Want::Nothing;
    // Where the word being typed starts (offset into the text given);
    // accepting a choice replaces [wordStart, caret).
    qsizetype wordStart = 0;
    // The text of [wordStart, caret) as typed (may begin with an opening
    // quote). Empty for Nothing.
    QString word;
    // For ColumnOf: the parts before the dot, unquoted: "o." -> {"o"},
    // "public.orders." -> {"public","orders"}, "\"My Tab\"." -> {"My Tab"}.
    QStringList qualifier;
    QList<bool> qualifierQuoted; // per part of qualifier
    // For ColumnOf: the qualified name stands where a table goes (after FROM,
    // JOIN, INTO, UPDATE or a comma of a FROM list), so the qualifier is a
    // schema and tables are wanted, not columns.
    bool qualifierIsSchema = false;
    // Every table named in the batch after FROM/JOIN/UPDATE/INTO, in order
    // (with aliases: "orders o", "orders AS o", comma lists, schema.table,
    // quoted names). Not a name the caret stands in, nor a subquery or a
    // function. Empty for Nothing.
    std::vector<TableRef> tables;
};

// text: the batch holding the caret (the caller cuts it with
// editing::BatchAt); caret: offset into text, clamped to it. Linear in the
// length of the text.
Context AnalyseAt(QStringView text, qsizetype caret);

// Whether the character just typed (text[caret-1]) should open the popup by
// itself: "." after a name or a closing quote of a quoted name (not inside a
// number like 1.5, not in a comment or string), or a blank or line end right
// after the keyword FROM, JOIN, INTO or UPDATE (any letter case, a whole
// word). Never when the caret stands right before a name: the character went
// in front of existing text. Cheap, for every keystroke: it reads only the
// current line back from the caret, and at most 4,096 characters of it (a
// longer line gives false). A block comment opened on an earlier line is not
// seen; AnalyseAt has the last word.
bool OpensByItself(QStringView text, qsizetype caret);

// The table a qualifier names: an alias in tables, else a table whose last
// name parts are the qualifier (or the qualifier's last parts are its whole
// name; the longer name is returned). Names match ignoring letter case unless
// both sides were quoted. A table without an alias is preferred over one
// whose alias hides its name. Nothing without a qualifier or a match.
std::optional<TableRef> Resolve(const Context& context);

} // namespace brindle::completion
