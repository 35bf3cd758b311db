#include "store/TableInfo.h"

#include <QSet>

#include <algorithm>

const ColumnInfo *TableInfo::column(const QByteArray &name) const {
    for (const ColumnInfo &c : columns) {
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

namespace {

// How a declared type name maps to a field type. The size of a text field comes from the
// type's arguments (see classifyColumnType).
enum class Rule {
    Fixed,   // always `type`
    Signed,  // `type`, or `unsignedType` with UNSIGNED
    Decimal, // by precision and scale
    Text,    // CHAR, VARCHAR, BINARY, VARBINARY: size = declared length (1 when absent)
    Enum,    // ENUM('Y','N') is boolean, any other ENUM text of its longest member
    Set,     // text as long as all members joined by ","
};

struct TypeRule {
    const char *name; // as SHOW COLUMNS writes it, lower case
    Rule rule;
    FieldType type;
    FieldType unsignedType;
};

// One table for the column types. SHOW COLUMNS writes the canonical names; the synonyms a
// CREATE TABLE accepts are listed too, for servers that echo them.
const TypeRule typeRules[] = {
    {"tinyint", Rule::Fixed, FieldType::SmallInt, FieldType::SmallInt},
    {"int1", Rule::Fixed, FieldType::SmallInt, FieldType::SmallInt},
    {"bool", Rule::Fixed, FieldType::SmallInt, FieldType::SmallInt},
    {"boolean", Rule::Fixed, FieldType::SmallInt, FieldType::SmallInt},
    {"year", Rule::Fixed, FieldType::SmallInt, FieldType::SmallInt},
    {"smallint", Rule::Signed, FieldType::SmallInt, FieldType::Integer},
    {"int2", Rule::Signed, FieldType::SmallInt, FieldType::Integer},
    {"mediumint", Rule::Fixed, FieldType::Integer, FieldType::Integer},
    {"middleint", Rule::Fixed, FieldType::Integer, FieldType::Integer},
    {"int3", Rule::Fixed, FieldType::Integer, FieldType::Integer},
    {"int", Rule::Signed, FieldType::Integer, FieldType::LargeInt},
    {"integer", Rule::Signed, FieldType::Integer, FieldType::LargeInt},
    {"int4", Rule::Signed, FieldType::Integer, FieldType::LargeInt},
    {"bigint", Rule::Fixed, FieldType::LargeInt, FieldType::LargeInt},
    {"int8", Rule::Fixed, FieldType::LargeInt, FieldType::LargeInt},
    {"serial", Rule::Fixed, FieldType::LargeInt, FieldType::LargeInt},
    {"decimal", Rule::Decimal, FieldType::Unknown, FieldType::Unknown},
    {"dec", Rule::Decimal, FieldType::Unknown, FieldType::Unknown},
    {"numeric", Rule::Decimal, FieldType::Unknown, FieldType::Unknown},
    {"fixed", Rule::Decimal, FieldType::Unknown, FieldType::Unknown},
    {"float", Rule::Fixed, FieldType::Float, FieldType::Float},
    {"float4", Rule::Fixed, FieldType::Float, FieldType::Float},
    {"double", Rule::Fixed, FieldType::Float, FieldType::Float},
    {"float8", Rule::Fixed, FieldType::Float, FieldType::Float},
    {"real", Rule::Fixed, FieldType::Float, FieldType::Float},
    {"char", Rule::Text, FieldType::String, FieldType::String},
    {"varchar", Rule::Text, FieldType::String, FieldType::String},
    {"binary", Rule::Text, FieldType::String, FieldType::String},
    {"varbinary", Rule::Text, FieldType::String, FieldType::String},
    {"enum", Rule::Enum, FieldType::String, FieldType::String},
    {"set", Rule::Set, FieldType::String, FieldType::String},
    {"date", Rule::Fixed, FieldType::Date, FieldType::Date},
    {"time", Rule::Fixed, FieldType::Time, FieldType::Time},
    {"datetime", Rule::Fixed, FieldType::DateTime, FieldType::DateTime},
    {"timestamp", Rule::Fixed, FieldType::DateTime, FieldType::DateTime},
    {"tinytext", Rule::Fixed, FieldType::Memo, FieldType::Memo},
    {"text", Rule::Fixed, FieldType::Memo, FieldType::Memo},
    {"mediumtext", Rule::Fixed, FieldType::Memo, FieldType::Memo},
    {"longtext", Rule::Fixed, FieldType::Memo, FieldType::Memo},
    {"long", Rule::Fixed, FieldType::Memo, FieldType::Memo},
    {"json", Rule::Fixed, FieldType::Memo, FieldType::Memo},
    {"tinyblob", Rule::Fixed, FieldType::Blob, FieldType::Blob},
    {"blob", Rule::Fixed, FieldType::Blob, FieldType::Blob},
    {"mediumblob", Rule::Fixed, FieldType::Blob, FieldType::Blob},
    {"longblob", Rule::Fixed, FieldType::Blob, FieldType::Blob},
    {"geometry", Rule::Fixed, FieldType::Blob, FieldType::Blob},
    {"point", Rule::Fixed, FieldType::Blob, FieldType::Blob},
    {"linestring", Rule::Fixed, FieldType::Blob, FieldType::Blob},
    {"polygon", Rule::Fixed, FieldType::Blob, FieldType::Blob},
    {"multipoint", Rule::Fixed, FieldType::Blob, FieldType::Blob},
    {"multilinestring", Rule::Fixed, FieldType::Blob, FieldType::Blob},
    {"multipolygon", Rule::Fixed, FieldType::Blob, FieldType::Blob},
    {"geometrycollection", Rule::Fixed, FieldType::Blob, FieldType::Blob},
};

bool isAsciiLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The quoted members of an ENUM or SET argument list, starting after its "(". A quote inside
// a member is written doubled (or after a backslash).
std::vector<QByteArray> enumMembers(const QByteArray &text, qsizetype pos) {
    std::vector<QByteArray> members;
    const qsizetype n = text.size();
    while (pos < n) {
        while (pos < n && text.at(pos) == ' ')
            ++pos;
        if (pos >= n || text.at(pos) != '\'')
            break;
        ++pos;
        QByteArray member;
        bool closed = false;
        while (pos < n) {
            const char c = text.at(pos);
            if (c == '\\' && pos + 1 < n) {
                member += text.at(pos + 1);
                pos += 2;
            } else if (c == '\'') {
                if (pos + 1 < n && text.at(pos + 1) == '\'') {
                    member += '\'';
                    pos += 2;
                } else {
                    ++pos;
                    closed = true;
                    break;
                }
            } else {
                member += c;
                ++pos;
            }
        }
        if (!closed)
            break;
        members.push_back(member);
        while (pos < n && text.at(pos) == ' ')
            ++pos;
        if (pos >= n || text.at(pos) != ',')
            break;
        ++pos;
    }
    return members;
}

// The numbers of a "(p,s)" argument list starting after its "(".
std::vector<int> numericArguments(const QByteArray &text, qsizetype pos) {
    std::vector<int> numbers;
    const qsizetype close = text.indexOf(')', pos);
    if (close < 0)
        return numbers;
    const QList<QByteArray> parts = text.mid(pos, close - pos).split(',');
    for (const QByteArray &part : parts) {
        bool ok = false;
        const int value = part.trimmed().toInt(&ok);
        if (!ok)
            break;
        numbers.push_back(value);
    }
    return numbers;
}

} // namespace

// Types outside the table (BIT, UUID, INET6 and whatever a later server adds) become text
// with size 0: they read as the server's text, and size 0 means no declared length.
void classifyColumnType(const QByteArray &declaredType, FieldType &type, int &size) {
    type = FieldType::String;
    size = 0;

    const QByteArray text = declaredType.trimmed();
    qsizetype pos = 0;
    while (pos < text.size() && (isAsciiLetterOrDigit(text.at(pos)) || text.at(pos) == '_'))
        ++pos;
    const QByteArray name = text.left(pos).toLower();
    while (pos < text.size() && text.at(pos) == ' ')
        ++pos;
    const bool hasArguments = pos < text.size() && text.at(pos) == '(';
    const qsizetype argumentsBegin = hasArguments ? pos + 1 : pos;

    const auto rule = std::find_if(std::begin(typeRules), std::end(typeRules),
                                   [&](const TypeRule &r) { return name == r.name; });
    if (rule == std::end(typeRules))
        return;

    switch (rule->rule) {
    case Rule::Fixed:
        type = rule->type;
        return;
    case Rule::Signed: {
        // The words after the arguments: "unsigned", "zerofill" (which implies unsigned).
        qsizetype rest = pos;
        if (hasArguments) {
            const qsizetype close = text.indexOf(')', argumentsBegin);
            rest = close < 0 ? text.size() : close + 1;
        }
        const QList<QByteArray> words = text.mid(rest).toLower().split(' ');
        const bool isUnsigned = words.contains("unsigned") || words.contains("zerofill");
        type = isUnsigned ? rule->unsignedType : rule->type;
        return;
    }
    case Rule::Decimal: {
        const std::vector<int> args =
            hasArguments ? numericArguments(text, argumentsBegin) : std::vector<int>();
        const int precision = args.empty() ? 10 : args[0];
        const int scale = args.size() < 2 ? 0 : args[1];
        if (scale > 0)
            type = FieldType::Float;
        else if (precision <= 9)
            type = FieldType::Integer;
        else if (precision <= 18)
            type = FieldType::LargeInt;
        else
            type = FieldType::Float; // more digits than a 64-bit integer holds
        return;
    }
    case Rule::Text: {
        const std::vector<int> args =
            hasArguments ? numericArguments(text, argumentsBegin) : std::vector<int>();
        type = FieldType::String;
        size = args.empty() ? 1 : args[0];
        return;
    }
    case Rule::Enum: {
        const std::vector<QByteArray> members =
            hasArguments ? enumMembers(text, argumentsBegin) : std::vector<QByteArray>();
        if (members.size() == 2 && members[0] == "Y" && members[1] == "N") {
            type = FieldType::Boolean;
            return;
        }
        type = FieldType::String;
        for (const QByteArray &m : members)
            size = std::max(size, static_cast<int>(m.size()));
        return;
    }
    case Rule::Set: {
        const std::vector<QByteArray> members =
            hasArguments ? enumMembers(text, argumentsBegin) : std::vector<QByteArray>();
        type = FieldType::String;
        for (const QByteArray &m : members)
            size += static_cast<int>(m.size());
        if (!members.empty())
            size += static_cast<int>(members.size()) - 1;
        return;
    }
    }
}

namespace {

// Words written between grave accents when they name a database, table or column: the
// layer's own list first, then the reserved words of MariaDB (as 10.11 refuses them as bare
// names) and of MySQL 5 and 8. All lower case.
const char *const keywords[] = {
    // the layer's own list
    "insert", "update", "delete", "select", "drop", "create", "from", "set", "values", "where",
    "order", "group", "by", "having", "into", "as", "table", "index", "primary", "key", "on", "is",
    "null", "char", "varchar", "integer", "number",
    // MariaDB
    "accessible", "add", "all", "alter", "analyze", "and", "asc", "asensitive", "before", "between",
    "bigint", "binary", "blob", "both", "call", "cascade", "case", "change", "character", "check",
    "collate", "column", "condition", "constraint", "continue", "convert", "cross", "current_date",
    "current_role", "current_time", "current_timestamp", "current_user", "cursor", "database",
    "databases", "day_hour", "day_microsecond", "day_minute", "day_second", "dec", "decimal",
    "declare", "default", "delayed", "delete_domain_id", "desc", "describe", "deterministic",
    "distinct", "distinctrow", "div", "do_domain_ids", "double", "dual", "each", "else", "elseif",
    "enclosed", "escaped", "except", "exists", "exit", "explain", "false", "fetch", "float",
    "float4", "float8", "for", "force", "foreign", "fulltext", "general", "grant", "high_priority",
    "hour_microsecond", "hour_minute", "hour_second", "if", "ignore", "ignore_domain_ids",
    "ignore_server_ids", "in", "infile", "inner", "inout", "insensitive", "int", "int1", "int2",
    "int3", "int4", "int8", "intersect", "interval", "iterate", "join", "keys", "kill", "leading",
    "leave", "left", "like", "limit", "linear", "lines", "load", "localtime", "localtimestamp",
    "lock", "long", "longblob", "longtext", "loop", "low_priority", "master_demote_to_replica",
    "master_demote_to_slave", "master_heartbeat_period", "master_ssl_verify_server_cert", "match",
    "maxvalue", "mediumblob", "mediumint", "mediumtext", "middleint", "minute_microsecond",
    "minute_second", "mod", "modifies", "natural", "not", "no_write_to_binlog", "numeric", "offset",
    "optimize", "option", "optionally", "or", "out", "outer", "outfile", "over", "page_checksum",
    "parse_vcol_expr", "partition", "portion", "position", "precision", "procedure", "purge",
    "range", "read", "reads", "read_write", "real", "recursive", "references", "ref_system_id",
    "regexp", "release", "rename", "repeat", "replace", "require", "resignal", "restrict", "return",
    "returning", "revoke", "right", "rlike", "rows", "row_number", "schema", "schemas",
    "second_microsecond", "sensitive", "separator", "show", "signal", "slow", "smallint", "spatial",
    "specific", "sql", "sqlexception", "sqlstate", "sqlwarning", "sql_big_result",
    "sql_buffer_result", "sql_cache", "sql_calc_found_rows", "sql_no_cache", "sql_small_result",
    "ssl", "starting", "stats_auto_recalc", "stats_persistent", "stats_sample_pages",
    "straight_join", "terminated", "then", "tinyblob", "tinyint", "tinytext", "to", "trailing",
    "trigger", "true", "undo", "union", "unique", "unlock", "unsigned", "usage", "use", "using",
    "utc_date", "utc_time", "utc_timestamp", "varbinary", "varcharacter", "varying", "when",
    "while", "window", "with", "write", "xor", "year_month", "zerofill",
    // MySQL only
    "cube", "cume_dist", "dense_rank", "empty", "first_value", "function", "generated", "get",
    "grouping", "groups", "io_after_gtids", "io_before_gtids", "json_table", "lag", "last_value",
    "lateral", "lead", "manual", "master_bind", "nth_value", "ntile", "of", "optimizer_costs",
    "parallel", "percent_rank", "qualify", "rank", "row", "stored", "system", "tablesample",
    "virtual"};

bool isKeyword(const QByteArray &name) {
    static const QSet<QByteArray> set = [] {
        QSet<QByteArray> s;
        for (const char *w : keywords)
            s.insert(QByteArray(w));
        return s;
    }();
    return set.contains(name.toLower());
}

bool needsQuotes(const QByteArray &name) {
    if (name.isEmpty() || (name.at(0) >= '0' && name.at(0) <= '9'))
        return true;
    for (const char c : name) {
        if (!isAsciiLetterOrDigit(c) && c != '_')
            return true;
    }
    return isKeyword(name);
}

} // namespace

QByteArray quoteIdentifier(const QByteArray &name) {
    if (!needsQuotes(name))
        return name;
    QByteArray out;
    out.reserve(name.size() + 2);
    out += '`';
    for (const char c : name) {
        out += c;
        if (c == '`')
            out += '`';
    }
    out += '`';
    return out;
}
