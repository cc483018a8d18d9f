// RulesTokenizer: tokenizer set-up and number checks for the rules' data files.
#include "game/rules/RulesTokenizer.h"

#include <cmath>
#include <limits>

#include "io/FileInputStream.h"
#include "lang/Exception.h"

namespace {

int clampToInt(double value) {
    double whole = std::trunc(value);
    if (whole >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (whole <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(whole);
}

}  // namespace

lang::Ref<io::InputStream> openRulesFile(const std::string& path, std::string& error) {
    try {
        return lang::adopt<io::InputStream>(new io::FileInputStream(path.c_str()));
    } catch (lang::Exception* e) {
        e->release();
        error = path + ": cannot be opened";
        return nullptr;
    }
}

RulesTokenizer::RulesTokenizer(io::InputStream* stream, std::string name)
    : tokens_(lang::adopt(new io::StreamTokenizer(stream))), name_(std::move(name)) {
    tokens_->eolIsSignificant(false);
    tokens_->commentChar(';');
    tokens_->quoteChar('"');
    tokens_->parseNumbers();
}

bool RulesTokenizer::nextInteger(int& value, const std::string& what, std::string& error) {
    int type = tokens_->nextToken();
    std::string where = name_ + ": line " + std::to_string(tokens_->lineno()) + ": " + what + ": ";
    if (type == io::StreamTokenizer::TT_EOF) {
        error = where + "the file ends early";
        return false;
    }
    if (type != io::StreamTokenizer::TT_NUMBER) {
        lang::Ref<lang::String> text = lang::adopt(tokens_->toString());
        error = where + "expected a number, found \"" + text->chars() + "\"";
        return false;
    }
    double number = tokens_->nval;
    if (number != std::trunc(number) || std::fabs(number) > 1e9) {
        error = where + "expected a whole number, found " + std::to_string(number);
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

bool RulesTokenizer::nextNumberSkippingWords(int& value) {
    while (true) {
        int type = tokens_->nextToken();
        if (type == io::StreamTokenizer::TT_EOF)
            return false;
        if (type == io::StreamTokenizer::TT_NUMBER) {
            value = clampToInt(tokens_->nval);
            return true;
        }
    }
}

bool RulesTokenizer::hasMore() {
    int type = tokens_->nextToken();
    tokens_->pushBack();
    return type != io::StreamTokenizer::TT_EOF;
}
