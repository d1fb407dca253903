#include "contracts.h"

#include <map>
#include <set>
#include <sstream>

namespace contentlint {

namespace {

const std::map<std::string, std::size_t> kMinimumWords = {
    {"file", 1}, {"texture", 1}, {"sound", 1}, {"label", 1}, {"anim", 1},
    {"ends", 2}, {"loops", 2},   {"anchor", 3}, {"pending", 1}, {"loudness", 3},
    {"textcolours", 2}, {"ground", 2}, {"contrast", 2}, {"partycolours", 3},
    {"window", 2}, {"glow", 1}, {"whole", 1}, {"coverboxes", 2}, {"coverpicture", 6}, {"clear", 1},
};

std::vector<std::string> Split(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

// The line once for every combination of the values of the sets it names.
bool Expand(const std::string& line, const std::map<std::string, std::vector<std::string>>& sets,
            std::vector<std::string>* out, std::string* unknown)
{
    std::size_t open = line.find('{');
    if (open == std::string::npos) {
        out->push_back(line);
        return true;
    }
    std::size_t close = line.find('}', open);
    if (close == std::string::npos) {
        *unknown = line.substr(open);
        return false;
    }
    std::string name = line.substr(open + 1, close - open - 1);
    auto found = sets.find(name);
    if (found == sets.end()) {
        *unknown = name;
        return false;
    }
    // Every occurrence of this set takes the same value in one expansion.
    for (const std::string& value : found->second) {
        std::string replaced = line;
        const std::string token = "{" + name + "}";
        for (std::size_t at; (at = replaced.find(token)) != std::string::npos;)
            replaced.replace(at, token.size(), value);
        if (!Expand(replaced, sets, out, unknown))
            return false;
    }
    return true;
}

}  // namespace

std::vector<TContract> ReadContracts(const std::string& text, const std::string& fileName,
                                     std::vector<std::string>* errors)
{
    std::vector<TContract> contracts;
    std::map<std::string, std::vector<std::string>> sets;
    std::istringstream in(text);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        line = line.substr(0, line.find('#'));
        std::vector<std::string> words = Split(line);
        if (words.empty())
            continue;
        const std::string where = fileName + ": line " + std::to_string(number);
        if (words[0] == "set") {
            if (words.size() < 3) {
                errors->push_back(where + ": a set needs a name and values");
                continue;
            }
            sets[words[1]].assign(words.begin() + 2, words.end());
            continue;
        }
        auto minimum = kMinimumWords.find(words[0]);
        if (minimum == kMinimumWords.end()) {
            errors->push_back(where + ": unknown statement '" + words[0] + "'");
            continue;
        }
        if (words.size() < minimum->second + 1) {
            errors->push_back(where + ": '" + words[0] + "' needs " + std::to_string(minimum->second) + " word(s)");
            continue;
        }
        std::vector<std::string> lines;
        std::string unknown;
        if (!Expand(line, sets, &lines, &unknown)) {
            errors->push_back(where + ": no set '" + unknown + "'");
            continue;
        }
        for (const std::string& expanded : lines) {
            std::vector<std::string> w = Split(expanded);
            contracts.push_back({w[0], std::vector<std::string>(w.begin() + 1, w.end()), where});
        }
    }
    return contracts;
}

}  // namespace contentlint
