// BoardLayout: reading the layout files.
#include "game/rules/BoardLayout.h"

#include "game/rules/RulesTokenizer.h"
#include "io/Path.h"

std::string BoardLayout::pathFor(const std::string& folder, int level) {
    return io::joinPath(folder, "board" + std::to_string(level) + ".txt");
}

bool BoardLayout::load(const std::string& path, BoardLayout& out, std::string& error) {
    lang::Ref<io::InputStream> stream = openRulesFile(path, error);
    return stream && read(stream.get(), path, out, error);
}

bool BoardLayout::read(io::InputStream* stream, const std::string& name, BoardLayout& out,
                       std::string& error) {
    BoardLayout layout;
    RulesTokenizer tokens(stream, name);
    for (int n = 0; n < board::kSquares; ++n) {
        int value = 0;
        if (!tokens.nextNumberSkippingWords(value)) {
            error = name + ": line " + std::to_string(tokens.line()) + ": the layout ends after " +
                    std::to_string(n) + " of " + std::to_string(board::kSquares) + " numbers";
            return false;
        }
        int x = n % board::kColumns;
        int y = n / board::kColumns;
        layout.codes[static_cast<size_t>(board::squareIndex(x, y))] = value;
    }
    out = layout;
    return true;
}
