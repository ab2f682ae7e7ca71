#include "cli/catalogue_texts.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <set>
#include <sstream>
#include <vector>

#include "cli/options.h"
#include "core/text.h"

namespace sweepwav {
namespace {

// Words with a text between them, on lines of at most 76 characters; a
// line that goes on ends with its break ("|" and a backslash between a
// branch's labels, nothing inside a quoted list) and the next starts with
// the indent.
std::string Wrapped(const std::vector<std::string>& words, const std::string& between, const std::string& lineBreak,
                    std::size_t firstColumn) {
    const std::string indent(12, ' ');
    std::string text, line;
    std::size_t column = firstColumn;
    for (const std::string& word : words) {
        const std::string piece = line.empty() ? word : between + word;
        if (!line.empty() && column + piece.size() > 76) {
            text += line + lineBreak + "\n" + indent;
            line = word;
            column = indent.size() + word.size();
            continue;
        }
        line += piece;
        column += piece.size();
    }
    return text + line;
}

void Replace(std::string& text, const std::string& mark, const std::string& with) {
    const std::size_t at = text.find(mark);
    if (at != std::string::npos) text.replace(at, mark.size(), with);
}

std::vector<std::string> Names(const Option& o) {
    std::vector<std::string> names{std::string(o.name)};
    if (o.shortName) names.push_back({'-', o.shortName});
    return names;
}

// The options the template's branches name ("--output-dir | -o)").
std::set<std::string> HandBranched(const std::string& script) {
    const std::size_t from = script.find("case $prev in"), to = script.find("esac");
    std::set<std::string> named;
    std::istringstream lines(script.substr(from, to - from));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::vector<std::string> label{std::istream_iterator<std::string>(words), {}};
        if (label.empty() || !label.front().starts_with("-")) continue;
        for (std::string word : label) {
            if (word.ends_with(")")) word.pop_back();
            if (word.starts_with("-")) named.insert(word);
        }
    }
    return named;
}

// A list's choices as the command line names them, apart by blanks.
std::string Choices(const Option& o) {
    const Entry& e = EntryOf(*o.entry);
    std::string choices;
    for (std::size_t i = 0; i < e.items.size(); ++i) {
        const std::string name = ItemNameAt(e, i);
        if (!name.starts_with(o.valuePrefix)) continue;
        if (!choices.empty()) choices += ' ';
        choices.append(name, o.valuePrefix.size());
    }
    return choices;
}

}  // namespace

std::string CompletionScript(const std::string& script, std::span<const Option> options) {
    const std::set<std::string> byHand = HandBranched(script);
    std::string choices;
    std::vector<std::string> numbers, all;
    for (const Option& o : options) {
        const std::vector<std::string> names = Names(o);
        all.insert(all.end(), names.begin(), names.end());
        if (o.valueName.empty() || byHand.contains(names.front())) continue;
        if (o.entry && EntryOf(*o.entry).kind == EntryKind::List) {
            if (!choices.empty()) choices.append("\n        ");
            choices.append(Wrapped(names, " | ", " | \\", 8))
                .append(")\n            COMPREPLY=($(compgen -W '")
                .append(Choices(o))
                .append("' -- \"$cur\"))\n            return\n            ;;");
        } else {
            numbers.insert(numbers.end(), names.begin(), names.end());
        }
    }
    std::string out = script;
    Replace(out, "@CHOICES@", choices);
    Replace(out, "@NUMBERS@", Wrapped(numbers, " | ", " | \\", 8));
    Replace(out, "@OPTIONS@", Wrapped(all, " ", "", 40));
    return out;
}

namespace {

// The OPTIONS section's paragraphs: each from its heading, a line that
// names options in bold ("*-o*, *--output-dir* _DIR_"), to the blank line
// after it.
struct Paragraph {
    std::size_t start, end;  // end: just after the blank line
    std::string heading;
};

std::vector<Paragraph> OptionParagraphs(const std::string& page) {
    std::vector<Paragraph> paragraphs;
    const std::size_t from = page.find("\n# OPTIONS\n");
    if (from == std::string::npos) return paragraphs;
    const std::size_t to = std::min(page.find("\n# ", from + 1), page.size());
    for (std::size_t at = page.find('\n', from + 1) + 1; at < to;) {
        std::size_t eol = page.find('\n', at);
        const std::string line = page.substr(at, eol - at);
        if (line.starts_with("*-")) {
            std::size_t end = page.find("\n\n", at);
            end = end == std::string::npos || end > to ? to + 1 : end + 2;
            paragraphs.push_back({at, end, line});
            at = end;
        } else {
            at = eol + 1;
        }
    }
    return paragraphs;
}

const Paragraph* Describing(const std::vector<Paragraph>& paragraphs, const Option& o) {
    std::string bold = "*";
    bold.append(o.name).append("*");
    for (const Paragraph& p : paragraphs) {
        if (p.heading.find(bold) != std::string::npos) return &p;
    }
    return nullptr;
}

// --help's text as the page's sentence: a capital first, a full stop last,
// scdoc's marks escaped, each further line indented as the first.
std::string Generated(const Option& o) {
    std::string heading;
    if (o.shortName) heading.append("*-").append(1, o.shortName).append("*, ");
    heading.append("*").append(o.name).append("*");
    if (!o.valueName.empty()) heading.append(" _").append(o.valueName).append("_");
    std::string text;
    for (char c : HelpText(o)) {
        if (c == '*' || c == '_' || c == '\\') text += '\\';
        text += c == '\n' ? std::string("\n\t") : std::string(1, c);
    }
    if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (!text.ends_with(".")) text += '.';
    return heading + "\n\t" + text + "\n\n";
}

}  // namespace

std::string ManualPage(const std::string& page, std::span<const Option> options) {
    std::string out = page;
    for (std::size_t i = 0; i < options.size(); ++i) {
        const Option& o = options[i];
        std::vector<Paragraph> paragraphs = OptionParagraphs(out);
        if (o.help.empty() || Describing(paragraphs, o)) continue;
        std::size_t at = std::string::npos;
        for (std::size_t j = i; j-- > 0 && at == std::string::npos;) {
            const Paragraph* p = options[j].group == o.group ? Describing(paragraphs, options[j]) : nullptr;
            if (p) at = p->end;
        }
        for (std::size_t j = i + 1; j < options.size() && at == std::string::npos; ++j) {
            const Paragraph* p = options[j].group == o.group ? Describing(paragraphs, options[j]) : nullptr;
            if (p) at = p->start;
        }
        if (at == std::string::npos) at = paragraphs.empty() ? out.size() : paragraphs.back().end;
        out.insert(at, Generated(o));
    }
    return out;
}

}  // namespace sweepwav
