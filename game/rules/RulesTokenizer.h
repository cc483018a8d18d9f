// RulesTokenizer: the number reader of the level table and the layout files, with errors naming file
// and line.
#pragma once

#include <string>

#include "io/InputStream.h"
#include "io/StreamTokenizer.h"
#include "lang/Ref.h"

// Opens a file for the rules' readers; on failure returns null and sets `error` to
// "<path>: cannot be opened".
lang::Ref<io::InputStream> openRulesFile(const std::string& path, std::string& error);

class RulesTokenizer {
public:
    // ';' starts a comment to the end of the line, '"' quotes, digits, '-' and '.' form numbers, and
    // line ends carry no meaning.
    RulesTokenizer(io::InputStream* stream, std::string name);

    // The next token, which must be a whole number that fits an int. `what` names the field in the
    // message, which reads "<name>: line N: <what>: <problem>".
    bool nextInteger(int& value, const std::string& what, std::string& error);
    // The next number, skipping words and quoted strings; its integer part, clamped to the int range.
    // False at the end of the stream.
    bool nextNumberSkippingWords(int& value);
    // Whether any token is left.
    bool hasMore();
    int line() const { return tokens_->lineno(); }

private:
    lang::Ref<io::StreamTokenizer> tokens_;
    std::string name_;
};
