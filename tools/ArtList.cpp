// Reading data/pictures.txt, the one list of every picture the game's archive holds.
#include "tools/ArtList.h"

#include <set>
#include <sstream>

#include "tools/ArtImage.h"

namespace art {

std::string PictureEntry::arg(size_t i) const {
    if (i + 1 >= recipe.size()) {
        throw ArtError(where + ": recipe '" + (recipe.empty() ? "" : recipe[0]) + "' of " + name +
                       " needs argument " + std::to_string(i + 1));
    }
    return recipe[i + 1];
}

int PictureEntry::intArg(size_t i) const {
    std::string text = arg(i);
    try {
        size_t used = 0;
        int value = std::stoi(text, &used);
        if (used == text.size())
            return value;
    } catch (const std::exception&) {
    }
    throw ArtError(where + ": argument " + std::to_string(i + 1) + " of " + name +
                   " must be a number, not '" + text + "'");
}

std::vector<std::string> splitWords(const std::string& line, const std::string& where) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        if (i >= line.size())
            break;
        std::string word;
        if (line[i] == '"') {
            size_t end = line.find('"', i + 1);
            if (end == std::string::npos)
                throw ArtError(where + ": quote not closed");
            word = line.substr(i + 1, end - i - 1);
            i = end + 1;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
                word += line[i++];
        }
        words.push_back(word);
    }
    return words;
}

std::vector<PictureEntry> readPictureList(const std::string& path) {
    std::istringstream in(readFileText(path));
    std::vector<PictureEntry> list;
    std::set<std::string> names;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::string where = path + ":" + std::to_string(number);
        size_t start = line.find_first_not_of(" \t\r");
        if (start == std::string::npos || line[start] == '#')
            continue;
        std::vector<std::string> words = splitWords(line, where);
        if (words.size() < 8) {
            throw ArtError(where +
                           ": expected name, format, frame width, frame height, columns, rows, group "
                           "and recipe");
        }
        PictureEntry entry;
        entry.where = where;
        entry.name = words[0];
        entry.format = words[1];
        if (entry.format != "png" && entry.format != "jpg")
            throw ArtError(where + ": format must be png or jpg");
        int* numbers[] = {&entry.frameWidth, &entry.frameHeight, &entry.columns, &entry.rows};
        for (int k = 0; k < 4; ++k) {
            const std::string& text = words[2 + k];
            if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
                text.size() > 5) {
                throw ArtError(where + ": field " + std::to_string(3 + k) + " must be a whole number, not '" +
                               text + "'");
            }
            *numbers[k] = std::stoi(text);
        }
        if (entry.columns < 1 || entry.rows < 1)
            throw ArtError(where + ": columns and rows must be at least 1");
        entry.group = words[6];
        entry.recipe.assign(words.begin() + 7, words.end());
        if (!names.insert(entry.name).second)
            throw ArtError(where + ": duplicate name " + entry.name);
        list.push_back(std::move(entry));
    }
    return list;
}

const PictureEntry* findPicture(const std::vector<PictureEntry>& list, const std::string& name) {
    for (const PictureEntry& entry : list) {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}

Layout Layout::read(const std::string& path) {
    Layout layout;
    layout.path_ = path;
    std::istringstream in(readFileText(path));
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        line = line.substr(0, line.find(';'));
        std::istringstream words(line);
        std::string name;
        if (!(words >> name))
            continue;
        std::vector<int> values;
        std::string word;
        while (words >> word) {
            size_t used = 0;
            int value = 0;
            try {
                value = std::stoi(word, &used);
            } catch (const std::exception&) {
                used = 0;
            }
            if (used != word.size()) {
                throw ArtError(path + ":" + std::to_string(number) + ": '" + word + "' of " + name +
                               " is not a whole number");
            }
            values.push_back(value);
        }
        layout.rows_[name] = values;
    }
    return layout;
}

const std::vector<int>& Layout::get(const std::string& name, size_t count) const {
    auto it = rows_.find(name);
    if (it == rows_.end())
        throw ArtError(path_ + ": no row named " + name);
    if (it->second.size() < count) {
        throw ArtError(path_ + ": row " + name + " needs " + std::to_string(count) + " numbers");
    }
    return it->second;
}

std::vector<std::vector<int>> readBoardFile(const std::string& path) {
    std::istringstream in(readFileText(path));
    std::vector<std::vector<int>> codes(10, std::vector<int>(13, 1));
    std::string line;
    int count = 0;
    while (std::getline(in, line) && count < 130) {
        line = line.substr(0, line.find(';'));
        std::istringstream words(line);
        std::string word;
        while (words >> word && count < 130) {
            size_t used = 0;
            int value = 0;
            try {
                value = std::stoi(word, &used, 0);
            } catch (const std::exception&) {
                used = 0;
            }
            if (used == 0)
                continue;  // words are skipped, as the game's reader does
            codes[count / 13][count % 13] = value;
            ++count;
        }
    }
    if (count < 130) {
        throw ArtError(path + ": expected 130 numbers (10 rows of 13), found " + std::to_string(count));
    }
    return codes;
}

bool isSquareCode(int code) {
    return code == 0 || (code >= 2 && code <= 6);
}

}  // namespace art
